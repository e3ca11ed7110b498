# Cross-builds 32-bit Windows binaries with MinGW-w64.
# The -posix compilers are used because GoogleTest needs std::thread and friends,
# which the -win32 thread model lacks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TARNWICK_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TARNWICK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARNWICK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TARNWICK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TARNWICK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows programs (tests, the stand-in) run under wine. The wine prefix lives
# inside the build folder so every build is self-contained and disposable.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run;${CMAKE_BINARY_DIR}/wineprefix")
