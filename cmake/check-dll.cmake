# Fails with a clear message when the win32 build's Tarnwick.dll, which the binary tests
# load, is not there:  cmake -DDLL=path -P check-dll.cmake
if(NOT EXISTS "${DLL}")
    message(FATAL_ERROR "${DLL} is missing: build the win32 preset first "
                        "(cmake --preset win32 && cmake --build --preset win32)")
endif()
