// The stand-in's Windows: the KERNEL32, USER32 and msvcrt functions that a loaded DLL
// imports, implemented over this process's own C library. The loader points each import
// address table entry at one of these.
#pragma once

#include <vector>

namespace standin {

// The implementation of `function` of `dll` (its name in any letter case, with or without
// ".dll"), or null when the stand-in serves none. For data imports (msvcrt's `_iob`,
// `__mb_cur_max`) the address of the datum.
const void* Windows_Import(const char* dll, const char* function);

// Runs, last registered first, and forgets the functions registered through msvcrt's
// `_onexit` or `atexit` that lie in [image_begin, image_end): those of a DLL being
// unloaded, which on Windows run when the DLL's C runtime shuts down.
void Run_Exit_Functions(const void* image_begin, const void* image_end);

// Gives the calling thread the environment block that Windows code reaches through the
// FS segment (see thread_environment_posix.cpp); done once per thread, before the first
// call into a loaded DLL.
void Ensure_Thread_Environment();
// A static TLS index of the calling thread for a module's TLS block (which stays the
// caller's), or 64 when all are taken; and its release, which answers the block.
unsigned Allocate_Static_Tls(void* block);
void* Release_Static_Tls(unsigned index);

// The module handles given to DisableThreadLibraryCalls, in call order.
const std::vector<const void*>& Thread_Calls_Disabled();
void Clear_Thread_Calls_Disabled();

} // namespace standin
