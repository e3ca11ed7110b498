// The server executable as the plugin finds it in memory: before the plugin binds, the
// stand-in lays out an image of one or more server builds in 0x401000..0x870000. Each
// planted build gets the build signature at its probe address, a jmp at each of its
// routine addresses leading to the stand-in's routine, its SSE flag byte, and the head of
// the current world's object list. Everything else is int3, so a call or a read at a
// wrong address stops the test at once.
//
// The addresses are written out here on their own, not taken from the plugin, so that a
// slip on either side shows up as a failing test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace standin {

// The server routines an image leads to.
enum class Routine {
    Alloc,
    Alloc_Array,
    Free,
    Free_Array,
    Console_Input,
    Get_Member_Int,
    Find_Player,
    C4_Remove,
    INI_Load,
    INI_Release,
    INI_Get_Int,
    INI_Get_String,
};

// A routine the stand-in serves, and the code its jumps lead to (in the calling form the
// plugin uses for it). The list is host_routines.cpp's.
struct ServedRoutine {
    Routine Entry;
    const void* Code;
};
struct ServedRoutines {
    const ServedRoutine* First;
    size_t Count;
};
ServedRoutines Served_Routines();

// Lays out a fresh image of the given builds (0, 1, 4; none: a build nobody recognises).
// The SSE flag byte of every planted build gets `sse_flag`. False, with the reason on
// standard error, where this process cannot have the address range.
bool Plant_Server_Image(std::initializer_list<int32_t> kinds, unsigned char sse_flag = 0);

// Where a build keeps things; 0 where it has none (or is no build).
uintptr_t Probe_Address(int32_t kind);
uintptr_t Routine_Address(int32_t kind, Routine routine);
uintptr_t SSE_Flag_Address(int32_t kind);
uintptr_t List_Head_Address(int32_t kind);

} // namespace standin
