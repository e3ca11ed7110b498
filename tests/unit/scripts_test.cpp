// Scripts as the server sees them: found by name, laid out word by word, called through
// their raw tables with the thiscall convention, given parameters, saved and loaded in
// their chunk, and given back to the server's allocator.
#include "scripts/script_registry.h"

#include "standin/chunk_stream.h"
#include "standin/script_slots.h"
#include "standin_test.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace standin;

uint32_t Word_At(const void* object, size_t offset) {
    uint32_t word;
    std::memcpy(&word, static_cast<const unsigned char*>(object) + offset, sizeof word);
    return word;
}

template <class T> uint32_t Word_Of(T* pointer) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}

// Byte offsets of the script object's fields, as the server has them.
constexpr size_t Table_Word = 0, Host_Word = 4, Owner_Word = 8, Count_Word = 12,
                 Parameters_Word = 16, Factory_Word = 20, Saved_Fields_Word = 24;

// Calls `fn` the way the server's code calls a slot: the object in ECX and `words`
// 32-bit arguments pushed right to left. Gives the bytes the callee took off the stack,
// which must be exactly the arguments' for the server's stack to stay intact.
uint32_t Bytes_Popped(const void* fn, void* self, const std::vector<uint32_t>& args) {
    struct Frame {
        const void* Fn;       // 0
        void* Self;           // 4
        uint32_t Words;       // 8
        const uint32_t* Args; // 12
        uint32_t Padding;     // 16: keeps the stack 16-byte aligned at the call
        uint32_t Before;      // 20
        uint32_t After;       // 24
    } f{fn,
        self,
        static_cast<uint32_t>(args.size()),
        args.data(),
        static_cast<uint32_t>((16 - args.size() * 4 % 16) % 16),
        0,
        0};
    asm volatile("movl %%esp, %%esi\n\t"
                 "andl $-16, %%esp\n\t"
                 "subl 16(%%edi), %%esp\n\t"
                 "movl 8(%%edi), %%ecx\n\t"
                 "movl 12(%%edi), %%edx\n\t"
                 "1:\n\t"
                 "testl %%ecx, %%ecx\n\t"
                 "jz 2f\n\t"
                 "pushl -4(%%edx,%%ecx,4)\n\t"
                 "decl %%ecx\n\t"
                 "jmp 1b\n\t"
                 "2:\n\t"
                 "movl %%esp, 20(%%edi)\n\t"
                 "movl 4(%%edi), %%ecx\n\t"
                 "call *(%%edi)\n\t"
                 "movl %%esp, 24(%%edi)\n\t"
                 "movl %%esi, %%esp\n\t"
                 :
                 : "D"(&f)
                 : "eax", "ecx", "edx", "esi", "memory", "cc");
    return f.After - f.Before;
}

// The parameters as the server would find them in the object.
std::vector<std::string> Parameters_Of(ScriptClass* script) {
    const int32_t count = static_cast<int32_t>(Word_At(script, Count_Word));
    const uint32_t array = Word_At(script, Parameters_Word);
    std::vector<std::string> result;
    for (int32_t i = 0; i < count; ++i) {
        const char* text = reinterpret_cast<const char*>(
            static_cast<uintptr_t>(Word_At(reinterpret_cast<const void*>(array), i * 4u)));
        result.push_back(text);
        EXPECT_EQ(Block_Size(text), result.back().size() + 1) << "parameter " << i;
    }
    if (count == 0) {
        EXPECT_EQ(array, 0u) << "no parameters, yet an array";
    }
    return result;
}

std::string Joined(ScriptClass* script, int32_t size) {
    // The buffer is junk beyond what the join may write, and a guard after it.
    std::vector<char> buffer(static_cast<size_t>(size) + 1 + 8, '#');
    Script_Join_Parameters(script, buffer.data(), size);
    for (size_t i = static_cast<size_t>(size) + 1; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], '#') << "join wrote past its size at " << i;
    return std::string(buffer.data(), strnlen(buffer.data(), static_cast<size_t>(size) + 1));
}

// A script with fields to save, registered when it is built.
class Saving_Script : public ScriptImpClass {
  public:
    void THISCALL Post_Create() override {
        Add_Saved_Field(&Health, sizeof Health, 1);
        Add_Saved_Field(Tag, sizeof Tag, 2);
        Add_Saved_Field(&Spare, sizeof Spare, 7);
    }
    int32_t Health = 0;
    char Tag[6] = {};
    int32_t Spare = 0;
};

class Scripts : public StandinTest {
  protected:
    void SetUp() override {
        StandinTest::SetUp();
        world().Use_Script_Library(&Create_Script);
    }

    static ScriptClass* New_Script(const char* name = "Brask_Tarnwick") {
        ScriptClass* script = Create_Script(name);
        EXPECT_NE(script, nullptr) << name;
        return script;
    }
    static void Delete(ScriptClass* script) { Script_Destroy(script, Destroy_Free_Block); }
};

TEST_F(Scripts, create_script_matches_the_name_in_any_letter_case_and_nothing_else) {
    const struct {
        const char* name;
        bool found;
    } cases[] = {
        {"Brask_Tarnwick", true}, {"brask_tarnwick", true},
        {"BRASK_TARNWICK", true}, {"bRaSk_tArNwIcK", true},
        {"Brask", false},         {"Brask_Tarnwick ", false},
        {"Brask_Tarnwic", false}, {"", false},
        {nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        const size_t allocations = Allocator_Counts().Allocations;
        ScriptClass* script = Create_Script(c.name);
        if (!c.found) {
            EXPECT_EQ(script, nullptr);
            EXPECT_EQ(Allocator_Counts().Allocations, allocations);
            continue;
        }
        ASSERT_NE(script, nullptr);
        EXPECT_STREQ(Script_Name(script), "Brask_Tarnwick");
        Delete(script);
    }
}

TEST_F(Scripts, a_new_script_is_seven_words_unbound_without_parameters) {
    ScriptClass* script = New_Script();
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(Block_Size(script), 28u);
    EXPECT_NE(Word_At(script, Table_Word), 0u);
    EXPECT_EQ(Word_At(script, Host_Word), 0u);
    EXPECT_EQ(Word_At(script, Owner_Word), 0u);
    EXPECT_EQ(Word_At(script, Count_Word), 0u);
    EXPECT_EQ(Word_At(script, Parameters_Word), 0u);
    EXPECT_EQ(Word_At(script, Saved_Fields_Word), 0u);
    EXPECT_EQ(Word_At(script, Factory_Word), Word_Of(Script_Factory_Named("Brask_Tarnwick")));
    EXPECT_EQ(Joined(script, 10), "");

    // Owner, count and array sit where the server reads them.
    ServerObject charge = world().Add_Charge(C4_Remote, nullptr, nullptr);
    Script_Bind_Owner(script, charge);
    Script_Parse_Parameters(script, "x,yz");
    EXPECT_EQ(Word_At(script, Owner_Word), Word_Of(charge));
    EXPECT_EQ(Parameters_Of(script), (std::vector<std::string>{"x", "yz"}));
    Delete(script);
}

TEST_F(Scripts, every_slot_takes_exactly_its_arguments_off_the_stack) {
    // No request to destroy, so the script outlives slot 3 until slot 0 runs last.
    ::Request_Destroy_Callback = nullptr;
    ScriptClass* script = New_Script();
    ASSERT_NE(script, nullptr);
    ChunkStream stream;
    const uint32_t save = Word_Of(stream.Save_Handle());
    const uint32_t words[script_slot::Count] = {1, 0, 1, 1, 1, 1, 2, 3, 4, 2, 2, 3, 2,
                                                2, 2, 2, 2, 0, 0, 1, 2, 1, 1, 1, 1, 0};
    const void* const* table = Script_Table(script);
    for (int slot = script_slot::Count - 1; slot >= 0; --slot) {
        SCOPED_TRACE(::testing::Message() << "slot " << slot);
        std::vector<uint32_t> args(words[slot], 0);
        if (slot == script_slot::Save_Fields || slot == script_slot::Load_Fields)
            args[0] = save;
        if (slot == script_slot::Destroy)
            args[0] = Destroy_Free_Block;
        EXPECT_EQ(Bytes_Popped(table[slot], script, args), words[slot] * 4);
    }
    EXPECT_FALSE(Block_Is_Live(script));
    EXPECT_TRUE(stream.Errors.empty());
}

TEST_F(Scripts, the_watch_script_differs_from_the_base_class_only_in_slots_4_and_12) {
    ScriptRegistrant<ScriptImpClass> plain("Plain_Script", "");
    ScriptClass* base = New_Script("Plain_Script");
    ScriptClass* watch = New_Script();
    ASSERT_TRUE(base && watch);
    for (int slot = 0; slot < script_slot::Count; ++slot) {
        SCOPED_TRACE(::testing::Message() << "slot " << slot);
        const bool replaced =
            slot == script_slot::Notify_Created || slot == script_slot::Notify_Timer;
        EXPECT_EQ(Script_Table(base)[slot] != Script_Table(watch)[slot], replaced);
    }
    EXPECT_STREQ(Script_Name(base), "Plain_Script");
    Delete(base);
    Delete(watch);
}

TEST_F(Scripts, the_owner_slots_bind_report_and_unbind_and_unbinding_asks_for_destruction) {
    ServerObject charge = world().Add_Charge(C4_Timed, nullptr, nullptr);
    ScriptClass* script = New_Script();
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(Script_Owner_Object(script), nullptr);
    EXPECT_EQ(Word_Of(Script_Owner_Field(script)), Word_Of(script) + Owner_Word);

    Script_Bind_Owner(script, charge);
    EXPECT_EQ(Script_Owner_Object(script), charge);
    EXPECT_EQ(*Script_Owner_Field(script), charge);

    // Without a request-destroy function unbinding only clears the owner.
    ::Request_Destroy_Callback = nullptr;
    Script_Unbind_Owner(script);
    EXPECT_EQ(Script_Owner_Object(script), nullptr);
    EXPECT_TRUE(world().Destroy_Requests.empty());

    // With one, the script hands itself over, and the server destroys it later.
    Install_Host_Routines();
    Script_Bind_Owner(script, charge);
    Script_Unbind_Owner(script);
    EXPECT_EQ(Script_Owner_Object(script), nullptr);
    EXPECT_EQ(world().Destroy_Requests, std::vector<ScriptClass*>{script});
    EXPECT_TRUE(Block_Is_Live(script));
    world().Destroy_Requested_Scripts();
    EXPECT_FALSE(Block_Is_Live(script));
}

TEST_F(Scripts, slot_0_gives_back_parameters_and_saved_fields_and_the_block_only_when_asked) {
    ScriptRegistrant<Saving_Script> saving("Saving_Script", "");
    const size_t live = Allocator_Counts().Live;
    ScriptClass* script = New_Script("Saving_Script");
    ASSERT_NE(script, nullptr);
    Script_Parse_Parameters(script, "a,bc");
    EXPECT_EQ(Allocator_Counts().Live, live + 1 + 3 + 3) << "object, saved fields, parameters";

    Script_Destroy(script, 0);
    EXPECT_EQ(Allocator_Counts().Live, live + 1);
    EXPECT_TRUE(Block_Is_Live(script));
    EXPECT_EQ(Word_At(script, Count_Word), 0u);
    EXPECT_EQ(Word_At(script, Parameters_Word), 0u);
    EXPECT_EQ(Word_At(script, Saved_Fields_Word), 0u);
    Release(script); // the server's allocator takes the block back itself

    script = New_Script("Saving_Script");
    ASSERT_NE(script, nullptr);
    Script_Parse_Parameters(script, "a");
    Delete(script);
    EXPECT_EQ(Allocator_Counts().Live, live);
}

TEST_F(Scripts, parameter_texts_are_cut_at_commas_and_replace_the_previous_ones) {
    using Texts = std::vector<std::string>;
    const struct {
        const char* name;
        std::vector<const char*> texts; // parsed in turn
        Texts parameters;
    } cases[] = {
        {"three", {"a,b,c"}, {"a", "b", "c"}},
        {"an empty one between", {"a,,b"}, {"a", "", "b"}},
        {"spaces stay", {" a , b "}, {" a ", " b "}},
        {"a line feed ends the line", {"a,b\n"}, {"a", "b"}},
        {"only one line feed is taken", {"a\n\n"}, {"a\n"}},
        {"a carriage return stays", {"a,b\r\n"}, {"a", "b\r"}},
        {"a lone line feed", {"\n"}, {""}},
        {"a final comma", {"a,b,"}, {"a", "b", ""}},
        {"a lone comma", {","}, {"", ""}},
        {"no text", {""}, {}},
        {"no text at all", {nullptr}, {}},
        {"a second text replaces fewer", {"a,b,c", "x"}, {"x"}},
        {"a second text replaces more", {"x", "a,b,c,d"}, {"a", "b", "c", "d"}},
        {"an empty text after changes nothing", {"a,b", "", nullptr}, {"a", "b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptClass* script = New_Script();
        ASSERT_NE(script, nullptr);
        for (const char* text : c.texts)
            Script_Parse_Parameters(script, text);
        EXPECT_EQ(Parameters_Of(script), c.parameters);
        Delete(script);
        EXPECT_EQ(Allocator_Counts().Live, Allocator_Counts().Kept);
    }
}

TEST_F(Scripts, joined_parameters_end_at_the_first_that_does_not_fit) {
    const struct {
        const char* text;
        int32_t size;
        const char* joined;
    } cases[] = {
        {"abc,defgh", 100, "abc,defgh"},
        {"abc,defgh", 9, "abc,defgh"},
        {"abc,defgh", 8, "abc,"},
        {"abc,defgh", 4, "abc,"},
        {"abc,defgh", 3, "abc"},
        {"abc,defgh", 2, ""},
        {"abc,defgh", 0, ""},
        {"a,b,c", 3, "a,b"},
        {"a,,b", 3, "a,,"},
        {"a,,b", 4, "a,,b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.text << " in " << c.size);
        ScriptClass* script = New_Script();
        ASSERT_NE(script, nullptr);
        Script_Parse_Parameters(script, c.text);
        EXPECT_EQ(Joined(script, c.size), c.joined);
        Delete(script);
    }

    // A size below zero leaves no room even for the terminator: nothing is written.
    ScriptClass* script = New_Script();
    ASSERT_NE(script, nullptr);
    char buffer[4] = {'#', '#', '#', '#'};
    Script_Join_Parameters(script, buffer, -1);
    EXPECT_EQ(buffer[0], '#');
    Delete(script);
}

TEST_F(Scripts, no_block_for_the_object_gives_no_script) {
    Fail_After(0);
    EXPECT_EQ(Create_Script("Brask_Tarnwick"), nullptr);
    EXPECT_EQ(Allocator_Counts().Refused, 1u);
}

TEST_F(Scripts, a_parse_that_cannot_get_a_block_leaves_the_parameters_as_they_were) {
    // "ab,c," takes five blocks: the working copy, the array and three texts.
    for (const char* before : {"old,set", ""}) {
        for (long successes = 0;; ++successes) {
            SCOPED_TRACE(::testing::Message()
                         << "before '" << before << "', refused after " << successes);
            ScriptClass* script = New_Script();
            ASSERT_NE(script, nullptr);
            Script_Parse_Parameters(script, before);
            const std::vector<std::string> old = Parameters_Of(script);
            const size_t live = Allocator_Counts().Live;
            const size_t refused = Allocator_Counts().Refused;
            Fail_After(successes);
            Script_Parse_Parameters(script, "ab,c,");
            Fail_After(-1);
            const bool failed = Allocator_Counts().Refused != refused;
            if (failed) {
                EXPECT_EQ(Parameters_Of(script), old);
                EXPECT_EQ(Allocator_Counts().Live, live);
            } else {
                EXPECT_EQ(Parameters_Of(script), (std::vector<std::string>{"ab", "c", ""}));
            }
            Delete(script);
            if (!failed) {
                EXPECT_EQ(successes, 5);
                break;
            }
        }
    }
}

TEST_F(Scripts, a_saved_field_that_cannot_get_a_block_is_not_registered) {
    ScriptRegistrant<ScriptImpClass> plain("Plain_Script", "");
    auto* script = static_cast<ScriptImpClass*>(New_Script("Plain_Script"));
    ASSERT_NE(script, nullptr);
    int32_t value = 0;
    ASSERT_TRUE(script->Add_Saved_Field(&value, 4, 1));
    Fail_After(0);
    EXPECT_FALSE(script->Add_Saved_Field(&value, 4, 2));
    Fail_After(-1);
    ChunkStream stream;
    Script_Save_Fields(script, stream.Save_Handle());
    EXPECT_EQ(stream.Log, (std::vector<std::string>{"begin 63736176", "micro 1 4", "end"}));
    Delete(script);
}

TEST_F(Scripts, a_watch_script_saves_one_empty_chunk_and_loads_past_foreign_ones) {
    ScriptClass* script = New_Script();
    ASSERT_NE(script, nullptr);
    ChunkStream stream;
    stream.Chunks.push_back({0x11111111, {{1, {9, 9, 9, 9}}}});
    Script_Save_Fields(script, stream.Save_Handle());
    stream.Chunks.push_back({0x22222222, {}});
    EXPECT_EQ(stream.Log, (std::vector<std::string>{"begin 63736176", "end"}));
    ASSERT_EQ(stream.Chunks.size(), 3u);
    EXPECT_EQ(std::memcmp(&stream.Chunks[1].Id, "vasc", 4), 0);
    EXPECT_TRUE(stream.Chunks[1].Micro.empty());

    stream.Rewind();
    Script_Load_Fields(script, stream.Load_Handle());
    EXPECT_EQ(stream.Log, (std::vector<std::string>{"open 11111111", "close", "open 63736176",
                                                    "open-micro none", "close", "open 22222222",
                                                    "close", "open none"}));
    EXPECT_TRUE(stream.Errors.empty()) << stream.Errors.front();
    Delete(script);
}

TEST_F(Scripts, saved_fields_go_out_as_micro_chunks_and_come_back_into_their_fields) {
    ScriptRegistrant<Saving_Script> saving("Saving_Script", "");
    auto* script = static_cast<Saving_Script*>(New_Script("Saving_Script"));
    ASSERT_NE(script, nullptr);
    script->Health = 250;
    std::memcpy(script->Tag, "tag-1", 6);

    ChunkStream stream;
    Script_Save_Fields(script, stream.Save_Handle());
    EXPECT_EQ(stream.Log, (std::vector<std::string>{"begin 63736176", "micro 1 4", "micro 2 6",
                                                    "micro 7 4", "end"}));
    ASSERT_EQ(stream.Chunks.size(), 1u);
    ChunkStream::Chunk& saved = stream.Chunks[0];
    // The spare field goes missing from the data and an unknown one appears, and
    // foreign chunks with a micro-chunk of a known id come before and after.
    saved.Micro.erase(saved.Micro.begin() + 2);
    saved.Micro.push_back({9, {1, 2, 3}});
    stream.Chunks.insert(stream.Chunks.begin(), {0x0bad0bad, {{1, {7, 7, 7, 7}}}});
    stream.Chunks.push_back({0x0bad0bad, {{2, {'b', 'a', 'd', '!', '!', 0}}}});

    script->Health = -1;
    std::memcpy(script->Tag, "xxxxx", 6);
    script->Spare = 42;
    stream.Rewind();
    Script_Load_Fields(script, stream.Load_Handle());
    EXPECT_EQ(script->Health, 250);
    EXPECT_STREQ(script->Tag, "tag-1");
    EXPECT_EQ(script->Spare, 42);
    EXPECT_EQ(stream.Log,
              (std::vector<std::string>{
                  "open bad0bad", "close", "open 63736176", "open-micro 1", "read 4", "close-micro",
                  "open-micro 2", "read 6", "close-micro", "open-micro 9", "close-micro",
                  "open-micro none", "close", "open bad0bad", "close", "open none"}));
    EXPECT_TRUE(stream.Errors.empty()) << stream.Errors.front();
    Delete(script);
}

TEST_F(Scripts, a_factory_leaves_the_registry_wherever_it_stands) {
    // The library's own registrant is there from the start, last in the list.
    ScriptFactory* library = ScriptRegistry;
    while (library && library->Next)
        library = library->Next;
    ASSERT_NE(library, nullptr);
    EXPECT_STREQ(library->Name, "Brask_Tarnwick");
    EXPECT_STREQ(library->ParameterSpec, "");
    EXPECT_EQ(Word_At(library, 4), 0u);
    EXPECT_EQ(Word_At(library, 8), Word_Of(library->Name));
    EXPECT_EQ(Word_At(library, 12), Word_Of(library->ParameterSpec));

    auto names = [] {
        std::string list;
        for (ScriptFactory* f = ScriptRegistry; f; f = f->Next)
            list += std::string(f->Name) + " ";
        return list;
    };
    auto* a = new ScriptRegistrant<ScriptImpClass>("A", "");
    auto* b = new ScriptRegistrant<ScriptImpClass>("B", "");
    auto* c = new ScriptRegistrant<ScriptImpClass>("brask_tarnwick", "");
    ASSERT_TRUE(a && b && c);
    EXPECT_TRUE(Block_Is_Live(b)) << "a factory lives in the server's memory";
    EXPECT_EQ(names(), "brask_tarnwick B A Brask_Tarnwick ");
    EXPECT_EQ(Script_Factory_Named("BRASK_TARNWICK"), c) << "the first match wins";

    delete b;
    EXPECT_EQ(names(), "brask_tarnwick A Brask_Tarnwick ");
    delete c;
    EXPECT_EQ(names(), "A Brask_Tarnwick ");
    EXPECT_EQ(Script_Factory_Named("BRASK_TARNWICK"), library);
    delete a;
    EXPECT_EQ(names(), "Brask_Tarnwick ");
}

} // namespace
