# Builds for 32-bit x86 Linux with the host's g++ and its multilib support.
# The server's object layout is a 32-bit layout, so the Linux builds are 32-bit as well.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")

# Debian's multiarch folder for i386, so find_package and find_library pick the
# i386 builds of GoogleTest and Google Benchmark, not the amd64 ones.
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
