// Calling conventions of the server's binary interface.
//
// The server is built with Microsoft's compiler for 32-bit x86: plain routines and
// commands are cdecl, member routines and every virtual slot are thiscall (the object
// in ECX, the callee pops its arguments). The same macro serves the mingw build of the
// DLL and the i386 Linux build of the tests, so one layout and one convention hold in
// every build.
#pragma once

#if !defined(__i386__)
#error "Tarnwick meets the server at the binary level of 32-bit x86; build with -m32 or mingw i686"
#endif

#define THISCALL __attribute__((thiscall))

#include <cstring>

// Reinterprets a raw address as a function pointer of type Fn (and back) without the
// compiler's complaints about casts between object and function pointers.
template <class To, class From> inline To Bit_Cast(From from) {
    static_assert(sizeof(To) == sizeof(From), "Bit_Cast needs equal sizes");
    To to;
    std::memcpy(&to, &from, sizeof to);
    return to;
}
