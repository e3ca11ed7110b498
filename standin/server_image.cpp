#include "standin/server_image.h"

#include "standin/server_range.h"
#include "standin/world.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace standin {
namespace {

constexpr unsigned char Int3 = 0xcc;
constexpr unsigned char Jmp_Rel32 = 0xe9;

// A short routine of the server that reads the same in every build.
constexpr unsigned char Build_Signature[19] = {0x6a, 0x40, 0xff, 0x74, 0x24, 0x0c, 0xff,
                                               0x74, 0x24, 0x0c, 0xe8, 0xc0, 0xff, 0xff,
                                               0xff, 0x83, 0xc4, 0x0c, 0xc3};

constexpr size_t Routine_Count = static_cast<size_t>(Routine::INI_Get_String) + 1;

struct Build {
    int32_t Kind;
    uintptr_t Probe;
    uintptr_t Routines[Routine_Count]; // in the order of Routine; 0 for none
    uintptr_t SSE_Flag;
    uintptr_t List_Head;
};

const Build Builds[] = {
    {0,
     0x78ce49,
     {0x672b70, 0x672b70, 0x672c80, 0x672c80, 0x4287e0, 0x408280, 0x4157e0, 0x70d610, 0x6dab30,
      0x6dabe0, 0x5e10b0, 0x5e1de0},
     0x84f702,
     0x856ff8},
    {1,
     0x78c6e9,
     {0x672410, 0x672410, 0x672520, 0x672520, 0x428960, 0x408280, 0x4157e0, 0x70cbd0, 0x6da3d0,
      0x6da480, 0x5e0950, 0x5e1680},
     0x84e8ea,
     0x8561e0},
    // Known for its memory routines only.
    {4, 0x78790c, {0x7a783d, 0x7a783d, 0x7a7866, 0x7a7866}, 0, 0},
};

const Build* Build_Of(int32_t kind) {
    for (const Build& build : Builds)
        if (build.Kind == kind)
            return &build;
    return nullptr;
}

unsigned char* At(uintptr_t address) {
    return reinterpret_cast<unsigned char*>(address);
}

void Plant_Jump(uintptr_t from, const void* to) {
    const uint32_t displacement =
        static_cast<uint32_t>(reinterpret_cast<uintptr_t>(to) - (from + 5));
    At(from)[0] = Jmp_Rel32;
    std::memcpy(At(from + 1), &displacement, 4);
}

void Plant_Build(const Build& build, unsigned char sse_flag) {
    std::memcpy(At(build.Probe), Build_Signature, sizeof Build_Signature);
    const ServedRoutines served = Served_Routines();
    for (size_t i = 0; i < served.Count; ++i) {
        const uintptr_t address = build.Routines[static_cast<size_t>(served.First[i].Entry)];
        if (address)
            Plant_Jump(address, served.First[i].Code);
    }
    if (build.SSE_Flag)
        *At(build.SSE_Flag) = sse_flag;
    if (build.List_Head)
        std::memset(At(build.List_Head), 0, layout::List_Head_Size); // an empty list
}

} // namespace

bool Plant_Server_Image(std::initializer_list<int32_t> kinds, unsigned char sse_flag) {
    // The current world's list head may live in the old image: keep it safe meanwhile.
    World::Keep_List_Heads_At(nullptr);
    std::string why;
    if (!Claim_Server_Range(why)) {
        std::fprintf(stderr, "stand-in: %s\n", why.c_str());
        return false;
    }
    std::memset(At(Server_Range_Start), Int3, Server_Range_End - Server_Range_Start);
    // The world's list head goes where the recognised build keeps it: with several builds
    // planted, the last in probe order that has one.
    const Build* list_owner = nullptr;
    for (const Build& build : Builds) {
        bool planted = false;
        for (int32_t kind : kinds)
            planted = planted || kind == build.Kind;
        if (!planted)
            continue;
        Plant_Build(build, sse_flag);
        if (build.List_Head)
            list_owner = &build;
    }
    if (list_owner)
        World::Keep_List_Heads_At(At(list_owner->List_Head));
    return true;
}

uintptr_t Probe_Address(int32_t kind) {
    const Build* build = Build_Of(kind);
    return build ? build->Probe : 0;
}

uintptr_t Routine_Address(int32_t kind, Routine routine) {
    const Build* build = Build_Of(kind);
    return build ? build->Routines[static_cast<size_t>(routine)] : 0;
}

uintptr_t SSE_Flag_Address(int32_t kind) {
    const Build* build = Build_Of(kind);
    return build ? build->SSE_Flag : 0;
}

uintptr_t List_Head_Address(int32_t kind) {
    const Build* build = Build_Of(kind);
    return build ? build->List_Head : 0;
}

} // namespace standin
