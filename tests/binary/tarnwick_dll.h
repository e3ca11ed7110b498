// The Tarnwick.dll of the win32 build, which the binary tests load.
#pragma once

#include "standin/pe_loader.h"

#include <cstring>

constexpr char Tarnwick_Dll_Path[] = TARNWICK_DLL;

// The hook callback's symbol in the image (mingw prefixes an underscore to the mangled
// name of `void Watch_New_Object(void*, ServerObjectData*)`).
constexpr char Watch_New_Object_Symbol[] = "__Z16Watch_New_ObjectPvP16ServerObjectData";
