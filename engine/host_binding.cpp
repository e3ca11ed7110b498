// Recognises the server build that hosts the plugin and points every Host_ entry at that
// build's routine or datum. The builds are told apart by one short routine of the server
// whose 19 bytes are the same in each of them but stand at a different address.
#include "engine/vector_math.h"
#include "host/host_addresses.h"
#include "platform/platform.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr unsigned char Signature[19] = {0x6a, 0x40, 0xff, 0x74, 0x24, 0x0c, 0xff, 0x74, 0x24, 0x0c,
                                         0xe8, 0xc0, 0xff, 0xff, 0xff, 0x83, 0xc4, 0x0c, 0xc3};

// Where each build keeps the signature, in probe order: a later match overrides an earlier.
struct Probe {
    uintptr_t Address;
    int32_t Kind;
};
constexpr Probe Probes[] = {
    {0x78ce49, Exe_Kind_0},
    {0x78c6e9, Exe_Kind_1},
    {0x78790c, Exe_Kind_4},
};

// The addresses of one build, group by group; 0 where the build has none.
struct MemoryGroup {
    uintptr_t Alloc, Alloc_Array, Free, Free_Array, Console_Input, SSE_Flag;
};
struct ObjectGroup {
    uintptr_t Get_Member_Int, Find_Player, C4_Remove, Game_Object_List;
};
struct IniGroup {
    uintptr_t Load, Release, Get_Int, Get_String;
};
struct HostAddressTable {
    MemoryGroup Memory;
    ObjectGroup Objects;
    IniGroup Ini;
};

constexpr HostAddressTable Kind_0_Addresses = {
    {0x672b70, 0x672b70, 0x672c80, 0x672c80, 0x4287e0, 0x84f702},
    {0x408280, 0x4157e0, 0x70d610, 0x856ff8},
    {0x6dab30, 0x6dabe0, 0x5e10b0, 0x5e1de0},
};
constexpr HostAddressTable Kind_1_Addresses = {
    {0x672410, 0x672410, 0x672520, 0x672520, 0x428960, 0x84e8ea},
    {0x408280, 0x4157e0, 0x70cbd0, 0x8561e0},
    {0x6da3d0, 0x6da480, 0x5e0950, 0x5e1680},
};
// This build is known for its memory routines only.
constexpr MemoryGroup Kind_4_Memory = {0x7a783d, 0x7a783d, 0x7a7866, 0x7a7866, 0, 0};

constexpr MemoryGroup No_Memory = {};
constexpr ObjectGroup No_Objects = {};
constexpr IniGroup No_Ini = {};

template <class T> T At(uintptr_t address) {
    return Bit_Cast<T>(address);
}

// The signature compared as four words and then three bytes. An address that cannot be
// read is a mismatch: a build that does not have the routine there may have nothing there.
bool Signature_At(uintptr_t address) {
    const void* at = At<const void*>(address);
    if (!Memory_Is_Readable(at, sizeof Signature))
        return false;
    const unsigned char* bytes = static_cast<const unsigned char*>(at);
    for (size_t word = 0; word < 4; ++word) {
        uint32_t seen, wanted;
        std::memcpy(&seen, bytes + 4 * word, 4);
        std::memcpy(&wanted, Signature + 4 * word, 4);
        if (seen != wanted)
            return false;
    }
    return bytes[16] == Signature[16] && bytes[17] == Signature[17] && bytes[18] == Signature[18];
}

void Recognise_Build() {
    for (const Probe& probe : Probes)
        if (Signature_At(probe.Address))
            ExeKind = probe.Kind;
}

void Bind(const MemoryGroup& g) {
    Host_Alloc = At<Host_Alloc_Fn>(g.Alloc);
    Host_Alloc_Array = At<Host_Alloc_Fn>(g.Alloc_Array);
    Host_Free = At<Host_Free_Fn>(g.Free);
    Host_Free_Array = At<Host_Free_Fn>(g.Free_Array);
    Host_Console_Input = At<Host_Console_Input_Fn>(g.Console_Input);
    Host_SSE_Flag = At<const unsigned char*>(g.SSE_Flag);
}

void Bind(const ObjectGroup& g) {
    Host_Get_Member_Int = At<Host_Get_Member_Int_Fn>(g.Get_Member_Int);
    Host_Find_Player = At<Host_Find_Player_Fn>(g.Find_Player);
    Host_C4_Remove = At<Host_C4_Remove_Fn>(g.C4_Remove);
    Host_Game_Object_List = At<const void*>(g.Game_Object_List);
}

void Bind(const IniGroup& g) {
    Host_INI_Load = At<Host_INI_Load_Fn>(g.Load);
    Host_INI_Release = At<Host_INI_Release_Fn>(g.Release);
    Host_INI_Get_Int = At<Host_INI_Get_Int_Fn>(g.Get_Int);
    Host_INI_Get_String = At<Host_INI_Get_String_Fn>(g.Get_String);
}

void Bind_Memory_Group() {
    switch (ExeKind) {
    case Exe_Kind_0:
        return Bind(Kind_0_Addresses.Memory);
    case Exe_Kind_1:
        return Bind(Kind_1_Addresses.Memory);
    case Exe_Kind_4:
        return Bind(Kind_4_Memory);
    default:
        return Bind(No_Memory);
    }
}

void Bind_Object_Group() {
    switch (ExeKind) {
    case Exe_Kind_0:
        return Bind(Kind_0_Addresses.Objects);
    case Exe_Kind_1:
        return Bind(Kind_1_Addresses.Objects);
    default:
        return Bind(No_Objects);
    }
}

void Bind_Ini_Group() {
    switch (ExeKind) {
    case Exe_Kind_0:
        return Bind(Kind_0_Addresses.Ini);
    case Exe_Kind_1:
        return Bind(Kind_1_Addresses.Ini);
    default:
        return Bind(No_Ini);
    }
}

// Set while a binding run is under way. Installing the vector tables allocates, and an
// allocation with no allocator bound asks for binding: on a build that is not recognised
// that would start binding again from within binding, without end.
bool binding = false;

} // namespace

void Bind_Host_Addresses() {
    if (binding)
        return;
    binding = true;
    Recognise_Build();
    Bind_Memory_Group();
    // The tables come from Host_Alloc and read the SSE flag, so they follow the memory group.
    Install_Vector_Math();
    Bind_Object_Group();
    Bind_Ini_Group();
    binding = false;
}
