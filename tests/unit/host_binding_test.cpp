// Recognising the server build from its code and binding every entry of the executable,
// against images of each build planted by the stand-in; lazy binding at the first
// allocation.
#include "engine/host_memory.h"
#include "engine/text.h"
#include "engine/vector_math.h"
#include "host/host_addresses.h"
#include "platform/platform.h"
#include "standin/server_image.h"
#include "standin/server_range.h"
#include "standin_test.h"

#include <cstdint>
#include <initializer_list>
#include <typeinfo>
#include <vector>

namespace {

template <class T> uintptr_t Address(T entry) {
    return Bit_Cast<uintptr_t>(entry);
}

// Every entry with its address in builds 0, 1 and 4 (0: none).
struct EntryRow {
    const char* name;
    uintptr_t (*read)();
    uintptr_t kind_0, kind_1, kind_4;
};
#define ENTRY(name) #name, [] { return Address(name); }
const EntryRow Entries[] = {
    {ENTRY(Host_Alloc), 0x672b70, 0x672410, 0x7a783d},
    {ENTRY(Host_Alloc_Array), 0x672b70, 0x672410, 0x7a783d},
    {ENTRY(Host_Free), 0x672c80, 0x672520, 0x7a7866},
    {ENTRY(Host_Free_Array), 0x672c80, 0x672520, 0x7a7866},
    {ENTRY(Host_Console_Input), 0x4287e0, 0x428960, 0},
    {ENTRY(Host_SSE_Flag), 0x84f702, 0x84e8ea, 0},
    {ENTRY(Host_Get_Member_Int), 0x408280, 0x408280, 0},
    {ENTRY(Host_Game_Object_List), 0x856ff8, 0x8561e0, 0},
    {ENTRY(Host_Find_Player), 0x4157e0, 0x4157e0, 0},
    {ENTRY(Host_C4_Remove), 0x70d610, 0x70cbd0, 0},
    {ENTRY(Host_INI_Load), 0x6dab30, 0x6da3d0, 0},
    {ENTRY(Host_INI_Release), 0x6dabe0, 0x6da480, 0},
    {ENTRY(Host_INI_Get_Int), 0x5e10b0, 0x5e0950, 0},
    {ENTRY(Host_INI_Get_String), 0x5e1de0, 0x5e1680, 0},
};
#undef ENTRY

uintptr_t Expected_Address(const EntryRow& row, int32_t kind) {
    switch (kind) {
    case Exe_Kind_0:
        return row.kind_0;
    case Exe_Kind_1:
        return row.kind_1;
    case Exe_Kind_4:
        return row.kind_4;
    default:
        return 0;
    }
}

std::vector<uintptr_t> Bound_Entries() {
    std::vector<uintptr_t> seen;
    for (const EntryRow& row : Entries)
        seen.push_back(row.read());
    return seen;
}

void Expect_Entries_Of(int32_t kind) {
    for (const EntryRow& row : Entries)
        EXPECT_EQ(row.read(), Expected_Address(row, kind))
            << std::hex << row.name << " in build " << kind;
}

struct Thing : HostAllocated {
    int32_t value = 7;
};

class HostBinding : public StandinTest {
  protected:
    // A process that has not bound yet, whose server image holds the given builds; then
    // one binding run.
    static void Bind_Image(std::initializer_list<int32_t> kinds, unsigned char sse_flag = 0) {
        standin::Clear_Host_Routines();
        ASSERT_TRUE(standin::Plant_Server_Image(kinds, sse_flag));
        standin::Bind_Host();
    }
};

TEST_F(HostBinding, each_build_is_recognised_and_gets_its_own_address_in_every_entry) {
    for (int32_t kind : {Exe_Kind_0, Exe_Kind_1, Exe_Kind_4}) {
        SCOPED_TRACE(kind);
        Bind_Image({kind});
        EXPECT_EQ(ExeKind, kind);
        Expect_Entries_Of(kind);
        // The jumps at this build's addresses reach the server's allocator.
        const size_t before = standin::Allocator_Counts().Releases;
        void* block = Plugin_Alloc(24);
        void* array = Plugin_Alloc_Array(8);
        EXPECT_TRUE(standin::Block_Is_Live(block));
        EXPECT_TRUE(standin::Block_Is_Live(array));
        Plugin_Free(block);
        Plugin_Free_Array(array);
        EXPECT_EQ(standin::Allocator_Counts().Releases, before + 2);
    }
}

TEST_F(HostBinding, where_several_probes_match_the_last_one_wins) {
    const struct {
        std::initializer_list<int32_t> planted;
        int32_t kind;
    } cases[] = {
        {{0, 4}, 4},
        {{0, 1}, 1},
        {{1, 4}, 4},
        {{0, 1, 4}, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::vector<int32_t>(c.planted)));
        Bind_Image(c.planted);
        EXPECT_EQ(ExeKind, c.kind);
        Expect_Entries_Of(c.kind);
    }
}

TEST_F(HostBinding, a_second_binding_run_gives_the_same_kind_and_entries) {
    const std::vector<uintptr_t> first = Bound_Entries();
    _Vector3MathFunctions* first_table = Vector3_Math;
    standin::Bind_Host();
    EXPECT_EQ(ExeKind, Exe_Kind_0);
    EXPECT_EQ(Bound_Entries(), first);
    // New tables each run; the earlier ones are kept, not given back.
    EXPECT_NE(Vector3_Math, first_table);
    EXPECT_TRUE(standin::Block_Is_Live(first_table));
}

TEST_F(HostBinding, an_unrecognised_build_binds_nothing_and_every_allocation_yields_null) {
    const size_t allocations = standin::Allocator_Counts().Allocations;
    Bind_Image({});
    EXPECT_EQ(ExeKind, Exe_Kind_Unknown);
    Expect_Entries_Of(Exe_Kind_Unknown);
    EXPECT_EQ(Vector3_Math, nullptr);
    EXPECT_EQ(Vector4_Math, nullptr);

    // Each allocation binds once more, finds nothing again and gives null; the callers
    // cope and nothing is called through a null entry.
    EXPECT_EQ(Plugin_Alloc(16), nullptr);
    EXPECT_EQ(Plugin_Alloc_Array(16), nullptr);
    EXPECT_EQ(new Thing, nullptr);
    Text text;
    EXPECT_FALSE(text.Assign("no block for this"));
    EXPECT_STREQ(text.Chars(), "");
    Plugin_Free(nullptr);
    EXPECT_EQ(ExeKind, Exe_Kind_Unknown);
    EXPECT_EQ(standin::Allocator_Counts().Allocations, allocations);
}

TEST_F(HostBinding, build_4_has_its_memory_routines_only_and_the_plain_vector_table) {
    Bind_Image({Exe_Kind_4}, 1);
    EXPECT_EQ(Host_SSE_Flag, nullptr);
    ASSERT_NE(Vector4_Math, nullptr);
    EXPECT_EQ(typeid(*Vector4_Math), typeid(_Vector4MathFunctions));
    EXPECT_NE(Vector3_Math, nullptr);
    Thing* thing = new Thing;
    ASSERT_NE(thing, nullptr);
    EXPECT_EQ(standin::Block_Size(thing), sizeof(Thing));
    delete thing;
}

TEST_F(HostBinding, an_unreadable_probe_address_is_a_mismatch_and_no_fault) {
    const struct {
        const char* name;
        std::initializer_list<int32_t> planted;
        int32_t unreadable_probe;
        int32_t kind;
    } cases[] = {
        {"the only build unreadable", {0}, 0, Exe_Kind_Unknown},
        {"the later build unreadable", {1, 4}, 4, Exe_Kind_1},
        {"build 4 alone unreadable", {4}, 4, Exe_Kind_Unknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        standin::Clear_Host_Routines();
        ASSERT_TRUE(standin::Plant_Server_Image(c.planted));
        ASSERT_TRUE(
            standin::Make_Server_Page_Unreadable(standin::Probe_Address(c.unreadable_probe)));
        standin::Bind_Host();
        EXPECT_EQ(ExeKind, c.kind);
        Expect_Entries_Of(c.kind);
    }
}

TEST_F(HostBinding, readability_is_asked_of_the_whole_range) {
    ASSERT_TRUE(standin::Plant_Server_Image({0}));
    const uintptr_t page = 0x500000;
    ASSERT_TRUE(standin::Make_Server_Page_Unreadable(page));
    const auto at = [](uintptr_t address) { return Bit_Cast<const void*>(address); };
    EXPECT_TRUE(Memory_Is_Readable(at(page - 19), 19));
    EXPECT_FALSE(Memory_Is_Readable(at(page - 18), 19)) << "its last byte is unreadable";
    EXPECT_FALSE(Memory_Is_Readable(at(page + 0x800), 1));
    EXPECT_TRUE(Memory_Is_Readable(at(page + 0x1000), 0x10000)) << "more than one piece";
    EXPECT_FALSE(Memory_Is_Readable(at(page - 0x10000), 0x20000));
    EXPECT_FALSE(Memory_Is_Readable(at(UINTPTR_MAX - 3), 8)) << "past the end of the space";
    EXPECT_TRUE(Memory_Is_Readable(at(page), 0)) << "nothing to read";
}

TEST_F(HostBinding, the_first_allocation_binds_and_a_release_never_does) {
    standin::Clear_Host_Routines();
    int not_a_block = 0;
    Plugin_Free(&not_a_block);
    Plugin_Free_Array(&not_a_block);
    EXPECT_EQ(ExeKind, Exe_Kind_Unknown);
    EXPECT_EQ(Host_Alloc, nullptr);

    Thing* thing = new Thing; // the plugin's allocation operator
    EXPECT_EQ(ExeKind, Exe_Kind_0);
    Expect_Entries_Of(Exe_Kind_0);
    ASSERT_NE(thing, nullptr);
    EXPECT_TRUE(standin::Block_Is_Live(thing));
    EXPECT_EQ(thing->value, 7);
    standin::Keep_For_Process(Vector3_Math);
    standin::Keep_For_Process(Vector4_Math);
    delete thing;
    EXPECT_FALSE(standin::Block_Is_Live(thing));

    // Array allocation tests its own entry (a state no build produces: only it unbound).
    Host_Alloc_Array = nullptr;
    _Vector4MathFunctions* earlier = Vector4_Math;
    void* array = Plugin_Alloc_Array(32);
    EXPECT_EQ(Address(Host_Alloc_Array), 0x672b70u);
    EXPECT_NE(Vector4_Math, earlier) << "a binding run installs new tables";
    EXPECT_TRUE(standin::Block_Is_Live(array));
    standin::Keep_For_Process(Vector3_Math);
    standin::Keep_For_Process(Vector4_Math);
    Plugin_Free_Array(array);
}

} // namespace
