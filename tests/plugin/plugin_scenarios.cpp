// The plugin's life as the server and its plugin host drive it: load, the two plugin-host
// descriptions, the command table handed over, a short match, unload. The same scenarios
// run in process (unit tests) and on the real Tarnwick.dll (binary tests).
#include "tests/plugin/plugin_scenarios.h"

#include "platform/message_box_posix.h"
#include "standin/ini.h"
#include "standin/script_slots.h"

#include <gmock/gmock.h>

#include <cstring>
#include <filesystem>
#include <vector>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

// The 33 functions of bhs.dll that replace entries of the server's table, written out
// here on their own.
struct TableEntry {
    const char* Name;
    uint32_t Offset;
};
const TableEntry bhs_table_entries[] = {
    {"New_Enable_Stealth", 708},
    {"New_Create_Explosion", 416},
    {"New_Create_Explosion_At_Bone", 420},
    {"New_Set_Fog_Enable", 700},
    {"New_Set_Fog_Range", 704},
    {"New_Set_War_Blitz", 680},
    {"New_Fade_Background_Music", 212},
    {"New_Set_Background_Music", 208},
    {"New_Stop_Background_Music", 216},
    {"New_Create_Sound", 172},
    {"New_Create_2D_Sound", 176},
    {"New_Create_2D_WAV_Sound", 180},
    {"New_Create_3D_WAV_Sound_At_Bone", 184},
    {"New_Create_3D_Sound_At_Bone", 188},
    {"New_Play_Building_Announcement", 656},
    {"New_Clear_Weapons", 796},
    {"New_Enable_Vehicle_Transitions", 728},
    {"New_Set_Player_Type", 252},
    {"New_Set_Screen_Fade_Color", 808},
    {"New_Set_Screen_Fade_Opacity", 812},
    {"New_Set_Display_Color", 304},
    {"New_Display_Text", 308},
    {"New_Display_Float", 312},
    {"New_Display_Int", 316},
    {"New_Select_Weapon", 136},
    {"New_Shake_Camera", 540},
    {"New_Set_Model", 160},
    {"New_Set_Obj_Radar_Blip_Shape", 372},
    {"New_Set_Obj_Radar_Blip_Color", 376},
    {"New_Display_Health_Bar", 788},
    {"New_Disable_All_Collisions", 80},
    {"New_Disable_Physical_Collisions", 84},
    {"New_Enable_Collisions", 88},
};

bool Is_Bhs_Entry(uint32_t offset) {
    for (const TableEntry& e : bhs_table_entries)
        if (e.Offset == offset)
            return true;
    return false;
}

uint32_t Word_At(const void* block, size_t offset) {
    uint32_t word;
    std::memcpy(&word, static_cast<const unsigned char*>(block) + offset, sizeof word);
    return word;
}

const void* Pointer_At(const void* block, size_t offset) {
    const void* p;
    std::memcpy(&p, static_cast<const unsigned char*>(block) + offset, sizeof p);
    return p;
}

std::vector<unsigned char> Bytes_Of(const CommandTable& table) {
    const auto* p = reinterpret_cast<const unsigned char*>(&table);
    return std::vector<unsigned char>(p, p + sizeof table);
}

// Where SSGM keeps what the plugin writes, written out here on their own.
constexpr size_t Version_Text = 64, Version_Flag = 92;
constexpr size_t Title_Text = 4, Plugin_Version_Text = 36;
constexpr size_t Text_Storage = 4, Text_Length = 20, Text_Capacity = 24;

std::string Host_Text(const unsigned char* record, size_t at) {
    const uint32_t capacity = Word_At(record, at + Text_Capacity);
    const char* text = capacity <= 15 ? reinterpret_cast<const char*>(record + at + Text_Storage)
                                      : static_cast<const char*>(Pointer_At(record, at + 4));
    return std::string(text, Word_At(record, at + Text_Length));
}

} // namespace

void Show_Message_Boxes_To_Recorder(bool on) {
    Set_Message_Box_Handler(on ? &standin::Record_Message_Box : nullptr);
}

std::string Read_Todays_Log(const std::string& prefix) {
    for (const auto& entry : std::filesystem::directory_iterator("."))
        if (entry.path().filename().string().rfind(prefix + "_", 0) == 0)
            return Read_File(entry.path().string());
    return "";
}

void PluginScenario::SetUp() {
    StandinTest::SetUp();
    if (HasFatalFailure())
        return;
    standin::Clear_Message_Boxes();
    Show_Message_Boxes_To_Recorder(true);
    Load_Library();
}

void PluginScenario::TearDown() {
    if (plugin_ && plugin_->Exports().Plugin_Unload) {
        if (!unloaded_)
            plugin_->Exports().Plugin_Unload();
        // The server's objects go while their scripts' code is still loaded.
        world().Destroy_All_Objects();
        plugin_->Unload();
        plugin_.reset();
    }
    Show_Message_Boxes_To_Recorder(false);
    StandinTest::TearDown();
}

void PluginScenario::Load_Library() {
    plugin_ = Make_Plugin_Under_Test();
    std::string error;
    ASSERT_TRUE(plugin_->Load(error)) << error;
    world().Use_Script_Library(plugin_->Exports().Create_Script);
    unloaded_ = false;
}

void PluginScenario::Reload_On_Build(std::initializer_list<int32_t> kinds) {
    plugin_->Unload();
    plugin_.reset();
    standin::Clear_Host_Routines();
    ASSERT_TRUE(standin::Plant_Server_Image(kinds));
    Load_Library();
}

void PluginScenario::Describe(void* bhs_module) {
    alignas(4) unsigned char version_record[128] = {};
    alignas(4) unsigned char plugin_record[128] = {};
    Empty_Host_String(version_record, Version_Text);
    Empty_Host_String(plugin_record, Title_Text);
    Empty_Host_String(plugin_record, Plugin_Version_Text);
    plugin_->Exports().Check_Version(0, version_record);
    plugin_->Exports().Plugin_Load(bhs_module, host_settings_.Record(), host_context_.Record(), 0,
                                   plugin_record);
    Release_Host_Strings(plugin_record, {Title_Text, Plugin_Version_Text});
    Release_Host_Strings(version_record, {Version_Text});
}

bool PluginScenario::Hand_Over(CommandTable& table) {
    ScriptCommands commands{&table};
    const bool accepted = plugin_->Exports().Set_Script_Commands(&commands);
    plugin_->Exports().Set_Request_Destroy_Func(&standin::Request_Destroy);
    return accepted;
}

bool PluginScenario::Hand_Over_Table() {
    return Hand_Over(standin::Command_Table_Instance());
}

void PluginScenario::Unload_Plugin() {
    plugin_->Exports().Plugin_Unload();
    unloaded_ = true;
}

void PluginScenario::Empty_Host_String(unsigned char* record, size_t at) {
    std::memset(record + at, 0, 28);
    const uint32_t capacity = 15;
    std::memcpy(record + at + Text_Capacity, &capacity, sizeof capacity);
}

// SSGM's own records are freed by SSGM; a text that went into a block of the server's
// allocator goes back to it.
void PluginScenario::Release_Host_Strings(unsigned char* record, std::initializer_list<size_t> at) {
    for (size_t offset : at)
        if (Word_At(record, offset + Text_Capacity) > 15)
            standin::Release(const_cast<void*>(Pointer_At(record, offset + Text_Storage)));
}

// --- Load and the two descriptions

TEST_F(PluginScenario, loading_binds_the_recognised_build_and_registers_the_watch_script) {
    EXPECT_EQ(plugin_->Exe_Kind(), 0);
    ScriptClass* script = plugin_->Exports().Create_Script("brask_TARNWICK");
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(plugin_->Exports().Create_Script("Brask_Tarnwick_2"), nullptr);
    standin::Script_Destroy(script, standin::Destroy_Free_Block);
}

TEST_F(PluginScenario, check_version_writes_its_version_and_flag_whatever_its_first_argument) {
    for (uint32_t first : {0u, 1u, 0xffffffffu}) {
        SCOPED_TRACE(first);
        alignas(4) unsigned char record[128];
        std::memset(record, 0xab, sizeof record);
        Empty_Host_String(record, Version_Text);
        EXPECT_TRUE(plugin_->Exports().Check_Version(first, record));
        EXPECT_EQ(Host_Text(record, Version_Text), "2.0.2");
        EXPECT_EQ(record[Version_Flag], 0);
        EXPECT_EQ(record[Version_Text - 1], 0xab) << "only the two fields are written";
        EXPECT_EQ(record[Version_Flag + 1], 0xab);
    }
}

TEST_F(PluginScenario, plugin_load_writes_title_and_version_and_creates_nothing) {
    const size_t allocations = standin::Allocator_Counts().Allocations;
    alignas(4) unsigned char record[128];
    std::memset(record, 0xab, sizeof record);
    Empty_Host_String(record, Title_Text);
    Empty_Host_String(record, Plugin_Version_Text);
    standin::FakeBhs bhs;
    plugin_->Exports().Plugin_Load(bhs.Module(), host_settings_.Record(), host_context_.Record(),
                                   0xdeadbeef, record);
    EXPECT_EQ(Host_Text(record, Title_Text), "Tarnwick Plugin");
    EXPECT_EQ(Host_Text(record, Plugin_Version_Text), "1.0");
    EXPECT_EQ(record[0], 0xab);
    EXPECT_EQ(record[Plugin_Version_Text + 28], 0xab);
    Release_Host_Strings(record, {Title_Text, Plugin_Version_Text});
    EXPECT_EQ(standin::Allocator_Counts().Allocations - allocations,
              Word_At(record, Title_Text + Text_Capacity) > 15 ? 1u : 0u);
    EXPECT_THAT(bhs.Calls(), IsEmpty());
    EXPECT_THAT(bhs.Hook_Records(), IsEmpty());
}

// --- The command table

TEST_F(PluginScenario, a_table_of_another_size_or_version_is_refused_untouched_but_referenced) {
    struct Row {
        const char* Name;
        uint32_t Size, Version;
    };
    for (const Row& row :
         {Row{"version 175", 816, 175}, Row{"size 812", 812, 174}, Row{"both zero", 0, 0}}) {
        SCOPED_TRACE(row.Name);
        // The variant without two functions would show any lookup as a message box.
        standin::FakeBhs bhs(standin::BhsExports::Without_War_Blitz_And_Chat);
        Describe(bhs.Module());
        CommandTable table = standin::Command_Table_Instance();
        table.Size = row.Size;
        table.Version = row.Version;
        const std::vector<unsigned char> before = Bytes_Of(table);
        const size_t allocations = standin::Allocator_Counts().Allocations;

        EXPECT_FALSE(Hand_Over(table));
        EXPECT_EQ(Bytes_Of(table), before);
        EXPECT_EQ(plugin_->Referenced_Table(), &table);
        EXPECT_THAT(standin::Message_Boxes(), IsEmpty());
        EXPECT_THAT(bhs.Hook_Records(), IsEmpty()) << "the plugin did not start";
        EXPECT_EQ(standin::Allocator_Counts().Allocations, allocations);
        EXPECT_THAT(standin::Ini_Counts().Loaded_Names, IsEmpty());
    }
}

TEST_F(PluginScenario, accepting_the_table_writes_the_33_entries_and_starts_the_plugin) {
    standin::FakeBhs bhs;
    Describe(bhs.Module());
    const CommandTable before = standin::Command_Table_Instance();

    EXPECT_TRUE(Hand_Over_Table());

    const CommandTable& table = standin::Command_Table_Instance();
    EXPECT_EQ(plugin_->Referenced_Table(), &table);
    EXPECT_THAT(standin::Message_Boxes(), IsEmpty());
    for (const TableEntry& e : bhs_table_entries) {
        SCOPED_TRACE(e.Name);
        ASSERT_NE(bhs.Function(e.Name), nullptr);
        EXPECT_EQ(Command_Entry<void*>(&table, e.Offset), bhs.Function(e.Name));
    }
    for (uint32_t offset = 0; offset < Command_Table_Size; offset += 4) {
        if (Is_Bhs_Entry(offset))
            continue;
        EXPECT_EQ(Word_At(&table, offset), Word_At(&before, offset)) << "offset " << offset;
    }

    // Plugin start: the settings file loaded through its copy, one hook registered.
    EXPECT_THAT(standin::Ini_Counts().Loaded_Names, ElementsAre("TEMPtarnwick.ini"));
    const std::vector<const void*> hooks = bhs.Hook_Records();
    ASSERT_EQ(hooks.size(), 1u);
    EXPECT_TRUE(standin::Block_Is_Live(hooks[0]));
    EXPECT_EQ(standin::Block_Size(hooks[0]), 8u);
    EXPECT_EQ(Pointer_At(hooks[0], 0), plugin_->Hook_Callback());
    EXPECT_EQ(Word_At(hooks[0], 4), 0u);
    EXPECT_THAT(bhs.Calls(), ElementsAre("NewAddObjectCreateHook"));
}

TEST_F(PluginScenario, each_missing_bhs_function_costs_one_message_box_and_a_null_target) {
    standin::FakeBhs bhs(standin::BhsExports::Without_War_Blitz_And_Chat);
    Describe(bhs.Module());

    EXPECT_TRUE(Hand_Over_Table());

    const std::vector<standin::MessageBoxCall>& boxes = standin::Message_Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    const char* const captions[] = {"New_Set_War_Blitz", "AddChatHook"};
    for (size_t i = 0; i < boxes.size(); ++i) {
        SCOPED_TRACE(captions[i]);
        EXPECT_EQ(boxes[i].Caption, captions[i]);
        EXPECT_EQ(boxes[i].Text, "Error getting function address from bhs.dll");
        EXPECT_EQ(boxes[i].Style, 0x30u);
        EXPECT_EQ(boxes[i].Owner, nullptr);
    }
    EXPECT_EQ(Command_Entry<void*>(&standin::Command_Table_Instance(), 680), nullptr);
    EXPECT_EQ(bhs.Hook_Records().size(), 1u) << "the plugin started all the same";
}

TEST_F(PluginScenario, without_NewAddObjectCreateHook_no_hook_is_registered_and_nothing_crashes) {
    standin::FakeBhs bhs; // registered with nobody: the plugin is given another module
    Describe(standin::Module_Without_Bhs_Functions());

    EXPECT_TRUE(Hand_Over_Table());
    EXPECT_EQ(standin::Message_Boxes().size(), 115u);
    EXPECT_THAT(bhs.Hook_Records(), IsEmpty());
    Unload_Plugin();
    EXPECT_THAT(bhs.Calls(), IsEmpty());
}

TEST_F(PluginScenario, a_second_accepted_table_starts_again_and_unload_returns_the_second_only) {
    standin::FakeBhs bhs;
    Describe(bhs.Module());
    ASSERT_TRUE(Hand_Over_Table());
    const size_t live_after_first = standin::Allocator_Counts().Live;
    ASSERT_TRUE(Hand_Over_Table());

    EXPECT_EQ(standin::Ini_Counts().Loaded_Names.size(), 2u);
    const std::vector<const void*> hooks = bhs.Hook_Records();
    ASSERT_EQ(hooks.size(), 2u);
    EXPECT_NE(hooks[0], hooks[1]);

    Unload_Plugin();
    EXPECT_THAT(bhs.Hook_Records(), ElementsAre(hooks[0]));
    EXPECT_TRUE(standin::Block_Is_Live(hooks[0]));
    EXPECT_FALSE(standin::Block_Is_Live(hooks[1]));
    EXPECT_EQ(standin::Allocator_Counts().Live, live_after_first);
    EXPECT_EQ(standin::Ini_Counts().Live, 1u) << "the first record keeps its INI handle";
    // What the first start left stays until the process ends.
    standin::Reset_Ini();
    Keep_Blocks(live_after_first - standin::Allocator_Counts().Kept);
}

// --- Start when the server's allocator gives out

TEST_F(PluginScenario, without_a_block_for_the_settings_record_start_goes_no_further) {
    standin::FakeBhs bhs;
    Describe(bhs.Module());
    standin::Fail_After(0);

    EXPECT_TRUE(Hand_Over_Table());
    EXPECT_THAT(bhs.Hook_Records(), IsEmpty());
    EXPECT_THAT(standin::Ini_Counts().Loaded_Names, IsEmpty());
    standin::Fail_After(-1);
    Unload_Plugin();
    EXPECT_THAT(bhs.Calls(), IsEmpty());
}

TEST_F(PluginScenario, without_a_block_for_the_hook_record_the_settings_still_load) {
    standin::FakeBhs bhs;
    Describe(bhs.Module());
    // A first start tells how many blocks a start takes; the hook record is its last.
    const size_t before = standin::Allocator_Counts().Allocations;
    ASSERT_TRUE(Hand_Over_Table());
    const size_t per_start = standin::Allocator_Counts().Allocations - before;
    Unload_Plugin();
    ASSERT_THAT(bhs.Hook_Records(), IsEmpty());

    standin::Fail_After(static_cast<long>(per_start) - 1);
    EXPECT_TRUE(Hand_Over_Table());
    standin::Fail_After(-1);
    EXPECT_THAT(bhs.Hook_Records(), IsEmpty());
    EXPECT_EQ(standin::Ini_Counts().Loaded_Names.size(), 2u);
    Unload_Plugin();
    EXPECT_EQ(standin::Ini_Counts().Live, 0u);
    EXPECT_THAT(bhs.Calls(), ElementsAre("NewAddObjectCreateHook", "NewRemoveObjectCreateHook"));
}

// --- Unload

TEST_F(PluginScenario, unload_withdraws_the_hook_and_returns_every_block_and_the_copy) {
    standin::FakeBhs bhs;
    Describe(bhs.Module());
    Write_File("tarnwick.ini", "[General]\nActivationWaitTime=3\n");
    const size_t live_before = standin::Allocator_Counts().Live;
    ASSERT_TRUE(Hand_Over_Table());
    ASSERT_TRUE(File_Exists("data/TEMPtarnwick.ini"));
    const std::vector<int> ids = bhs.Hook_Ids();
    ASSERT_EQ(ids.size(), 1u);

    Unload_Plugin();

    EXPECT_THAT(bhs.Hook_Records(), IsEmpty());
    EXPECT_THAT(bhs.Calls(), ElementsAre("NewAddObjectCreateHook", "NewRemoveObjectCreateHook"));
    EXPECT_EQ(standin::Allocator_Counts().Live, live_before);
    EXPECT_EQ(standin::Ini_Counts().Live, 0u);
    EXPECT_FALSE(File_Exists("data/TEMPtarnwick.ini"));
    EXPECT_TRUE(File_Exists("tarnwick.ini"));
}

TEST_F(PluginScenario, unload_without_a_start_destroys_nothing) {
    standin::FakeBhs bhs;
    Describe(bhs.Module());
    CommandTable refused = standin::Command_Table_Instance();
    refused.Version = 175;
    ASSERT_FALSE(Hand_Over(refused));
    const standin::AllocatorCounts before = standin::Allocator_Counts();

    Unload_Plugin();

    const standin::AllocatorCounts after = standin::Allocator_Counts();
    EXPECT_EQ(after.Allocations, before.Allocations);
    EXPECT_EQ(after.Releases, before.Releases);
    EXPECT_THAT(bhs.Calls(), IsEmpty());
}

// --- A build the rules cannot run on

TEST_F(PluginScenario, an_unsupported_build_stays_idle_and_says_so_once) {
    struct Row {
        const char* Name;
        std::initializer_list<int32_t> Kinds;
        int32_t Kind;
        bool Log_File; // kind 4 has the allocator the log writer needs
    };
    for (const Row& row : {Row{"unrecognised", {}, 6, false}, Row{"kind 4", {4}, 4, true}}) {
        SCOPED_TRACE(row.Name);
        Reload_On_Build(row.Kinds);
        EXPECT_EQ(plugin_->Exe_Kind(), row.Kind);
        host_settings_.Set_File_Log_All(true);
        host_settings_.Set_Log_File_Prefix("ssgm");
        standin::FakeBhs bhs;
        Describe(bhs.Module());

        testing::internal::CaptureStdout();
        EXPECT_TRUE(Hand_Over_Table());
        EXPECT_TRUE(Hand_Over_Table());
        const std::string out = testing::internal::GetCapturedStdout();

        const std::string line =
            "Tarnwick Plugin: this server build is not supported; C4 rules are off";
        EXPECT_EQ(out, line + "\n");
        EXPECT_THAT(bhs.Hook_Records(), IsEmpty());
        const std::string log = Read_Todays_Log("ssgm");
        if (row.Log_File)
            EXPECT_THAT(log, HasSubstr("_GENERAL " + line + "\n"));
        else
            EXPECT_EQ(log, "");
        EXPECT_EQ(log.find(line), log.rfind(line)) << "one line only";
        Unload_Plugin();
        EXPECT_EQ(standin::Allocator_Counts().Live, standin::Allocator_Counts().Kept);
    }
}

// --- A short match

TEST_F(PluginScenario, in_a_short_match_each_charge_is_judged_once_after_its_wait) {
    Write_File("tarnwick.ini", "[General]\n"
                               "ActivationWaitTime=2\n"
                               "PPAGE_Message=Keep your C4 off your own team\n");
    standin::FakeBhs bhs;
    Describe(bhs.Module());
    ASSERT_TRUE(Hand_Over_Table());

    standin::World& w = world();
    const ServerObject miner = w.Add_Soldier(0, 7);
    const ServerObject driver = w.Add_Soldier(0, 8);
    const ServerObject tank = w.Add_Vehicle(0, 2);
    w.Seat(tank, 0, driver);
    const ServerObject enemy_base = w.Add_Object(1, "Nod_Hand");
    const ServerObject on_tank = w.Add_Charge(C4_Timed, miner, tank);
    const ServerObject on_base = w.Add_Charge(C4_Remote, miner, enemy_base);
    // The server creates every object; the host calls the hooks for each.
    for (ServerObject o : {miner, driver, tank, enemy_base, on_tank, on_base})
        bhs.Object_Created(o);
    bhs.Object_Created(on_tank); // seen twice: still one script

    EXPECT_EQ(w.Info(on_tank).Scripts.size(), 1u);
    EXPECT_EQ(w.Info(on_base).Scripts.size(), 1u);
    EXPECT_TRUE(w.Info(miner).Scripts.empty());
    EXPECT_TRUE(w.Info(tank).Scripts.empty());

    w.Advance_Clock(1.5);
    EXPECT_THAT(w.Removed_Charges, IsEmpty()) << "judged before the wait was over";
    w.Advance_Clock(1.0);
    EXPECT_THAT(w.Console_Lines, ElementsAre("ppage 7 Keep your C4 off your own team"));
    EXPECT_THAT(w.Removed_Charges, ElementsAre(on_tank));
    w.Advance_Clock(10.0);
    EXPECT_THAT(w.Removed_Charges, ElementsAre(on_tank)) << "judged once";
    EXPECT_EQ(w.Console_Lines.size(), 1u);
}

TEST_F(PluginScenario, the_request_destroy_function_is_the_last_one_given) {
    standin::FakeBhs bhs;
    Describe(bhs.Module());
    ASSERT_TRUE(Hand_Over_Table());
    standin::World& w = world();
    const ServerObject owner = w.Add_Soldier(0, 3);

    const ServerObject kept = w.Add_Charge(C4_Remote, owner, nullptr);
    bhs.Object_Created(kept);
    ASSERT_EQ(w.Info(kept).Scripts.size(), 1u);
    ScriptClass* orphan = w.Info(kept).Scripts[0];
    plugin_->Exports().Set_Request_Destroy_Func(nullptr);
    w.Destroy_Object(kept);
    EXPECT_THAT(w.Destroy_Requests, IsEmpty()) << "a null function turns the request off";
    EXPECT_EQ(standin::Script_Owner_Object(orphan), nullptr) << "the owner is cleared all the same";

    const ServerObject destroyed = w.Add_Charge(C4_Remote, owner, nullptr);
    bhs.Object_Created(destroyed);
    ASSERT_EQ(w.Info(destroyed).Scripts.size(), 1u);
    ScriptClass* script = w.Info(destroyed).Scripts[0];
    plugin_->Exports().Set_Request_Destroy_Func(&standin::Request_Destroy);
    w.Destroy_Object(destroyed);
    EXPECT_THAT(w.Destroy_Requests, ElementsAre(script));

    // The script nobody asked to destroy is the server's to free.
    standin::Script_Destroy(orphan, standin::Destroy_Free_Block);
}
