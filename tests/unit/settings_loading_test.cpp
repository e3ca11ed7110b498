// Filling the settings record from tarnwick.ini: every key in "General" and then in the
// host's section, in the settings' order, the values a missing key or a missing settings
// source gives, and the one change line per load.
#include "config/settings_loading.h"

#include "config/c4_rule_settings.h"
#include "host/host_addresses.h"
#include "host_files_test.h"
#include "standin/ini.h"

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr const char* Settings_File = "tarnwick.ini";
constexpr const char* Copy_File_Path = "data/TEMPtarnwick.ini";

// Every key with a value that is not its default.
constexpr const char* Every_Key = "[General]\n"
                                  "TimedC4Limit=3\nRemoteC4Limit=4\nTimedC4Stacked=2\n"
                                  "RemoteC4Stacked=5\nActivationWaitTime=10\n"
                                  "PPAGE_Message=a\nRemoteC4Stacked_Message=b\n"
                                  "TimedC4Stacked_Message=c\nRemoteC4Limit_Message=d\n"
                                  "TimedC4Limit_Message=e\n";

constexpr const char* Default_Numbers = "TimedC4Limit=1 RemoteC4Limit=1 TimedC4Stacked=1 "
                                        "RemoteC4Stacked=1 ActivationWaitTime=1";
constexpr const char* Default_Texts = "PPAGE_Message=null TimedC4Limit_Message=null "
                                      "RemoteC4Limit_Message=null TimedC4Stacked_Message=null "
                                      "RemoteC4Stacked_Message=null";

// The record as text, so a failure shows every field at once.
std::string Numbers_Of(const C4RuleSettings& s) {
    return "TimedC4Limit=" + std::to_string(s.TimedC4Limit) +
           " RemoteC4Limit=" + std::to_string(s.RemoteC4Limit) +
           " TimedC4Stacked=" + std::to_string(s.TimedC4Stacked) +
           " RemoteC4Stacked=" + std::to_string(s.RemoteC4Stacked) +
           " ActivationWaitTime=" + std::to_string(s.ActivationWaitTime);
}
std::string Texts_Of(const C4RuleSettings& s) {
    auto text = [](const Text& t) { return std::string(t.Chars(), t.Length()); };
    return "PPAGE_Message=" + text(s.PPAGE_Message) +
           " TimedC4Limit_Message=" + text(s.TimedC4Limit_Message) +
           " RemoteC4Limit_Message=" + text(s.RemoteC4Limit_Message) +
           " TimedC4Stacked_Message=" + text(s.TimedC4Stacked_Message) +
           " RemoteC4Stacked_Message=" + text(s.RemoteC4Stacked_Message);
}
// The five flags in the order of the texts above, 1 for a page that is sent.
std::string Flags_Of(const C4RuleSettings& s) {
    std::string flags;
    for (bool on :
         {s.PPAGE_Message_Enabled, s.TimedC4Limit_Message_Enabled, s.RemoteC4Limit_Message_Enabled,
          s.TimedC4Stacked_Message_Enabled, s.RemoteC4Stacked_Message_Enabled})
        flags += on ? '1' : '0';
    return flags;
}

class SettingsLoading : public HostFilesTest {
  protected:
    void SetUp() override {
        HostFilesTest::SetUp();
        Make_Record();
    }
    void TearDown() override {
        delete Settings;
        Settings = nullptr;
        HostFilesTest::TearDown();
    }
    void Make_Record() {
        delete Settings;
        Settings = new C4RuleSettings;
        ASSERT_NE(Settings, nullptr);
    }
    // Loads and arms the record, as plugin start does.
    static void Load() {
        Load_Settings();
        Set_Message_Flags();
    }
};

TEST_F(SettingsLoading, a_file_without_any_key_or_no_file_at_all_gives_the_defaults) {
    struct Row {
        const char* name;
        bool file;
    } rows[] = {{"a file without any key", true}, {"no settings file", false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Make_Record();
        Delete_File(Log_File);
        if (row.file)
            Write_File(Settings_File, "; nothing here yet\n[General]\nUnrelated=5\n");
        else
            Delete_File(Settings_File);
        Load();
        EXPECT_EQ(Numbers_Of(*Settings), Default_Numbers);
        EXPECT_EQ(Texts_Of(*Settings), Default_Texts);
        EXPECT_EQ(Flags_Of(*Settings), "11111");
        EXPECT_EQ(File_Exists(Copy_File_Path), row.file);
        // The texts were empty before.
        EXPECT_EQ(Log_Lines(), std::vector<std::string>{Change_Line});
    }
}

TEST_F(SettingsLoading, every_key_is_read_in_General_then_in_the_host_section_in_order) {
    Load_Settings();
    std::vector<std::pair<std::string, std::string>> expected;
    for (const char* key :
         {"TimedC4Limit", "RemoteC4Limit", "TimedC4Stacked", "RemoteC4Stacked", "PPAGE_Message",
          "RemoteC4Stacked_Message", "TimedC4Stacked_Message", "RemoteC4Limit_Message",
          "TimedC4Limit_Message", "ActivationWaitTime"}) {
        expected.emplace_back("General", key);
        expected.emplace_back("C&C_Field.mix", key);
    }
    EXPECT_EQ(standin::Ini_Counts().Reads, expected);
}

TEST_F(SettingsLoading, the_host_sections_text_decides_whether_a_page_is_sent) {
    Write_File(Settings_File, "[General]\nPPAGE_Message=-1\nTimedC4Limit_Message=general\n"
                              "[C&C_Field.mix]\nPPAGE_Message=mine\nTimedC4Limit_Message=-1\n");
    Load();
    EXPECT_EQ(Texts_Of(*Settings), "PPAGE_Message=mine TimedC4Limit_Message=-1 "
                                   "RemoteC4Limit_Message=null TimedC4Stacked_Message=null "
                                   "RemoteC4Stacked_Message=null");
    EXPECT_EQ(Flags_Of(*Settings), "10111");
}

TEST_F(SettingsLoading, a_load_writes_one_change_line_for_many_changes_and_none_for_none) {
    Write_File(Settings_File, Every_Key);
    Load();
    EXPECT_EQ(Log_Lines(), std::vector<std::string>{Change_Line});
    Load();
    EXPECT_EQ(Log_Lines().size(), 1u) << "the same file again changes nothing";

    Write_File(Settings_File, std::string(Every_Key) + "[C&C_Field.mix]\nTimedC4Limit=9\n"
                                                       "PPAGE_Message=z\nActivationWaitTime=2\n");
    Load();
    EXPECT_EQ(Log_Lines(), (std::vector<std::string>{Change_Line, Change_Line}));
    EXPECT_EQ(Numbers_Of(*Settings), "TimedC4Limit=9 RemoteC4Limit=4 TimedC4Stacked=2 "
                                     "RemoteC4Stacked=5 ActivationWaitTime=2");
}

void* No_Handle(const char*) {
    return nullptr;
}
void* No_Block(uint32_t) {
    return nullptr;
}

TEST_F(SettingsLoading, without_a_settings_source_every_key_takes_its_default) {
    struct Row {
        const char* name;
        void (*fault)();
    } rows[] = {
        {"a build whose INI routines stay unbound",
         [] {
             Host_INI_Load = nullptr;
             Host_INI_Release = nullptr;
             Host_INI_Get_Int = nullptr;
             Host_INI_Get_String = nullptr;
         }},
        {"a loader that gives no handle", [] { Host_INI_Load = &No_Handle; }},
        {"no memory for the file names", [] { Host_Alloc_Array = &No_Block; }},
    };
    Write_File(Settings_File, Every_Key);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Delete_File(Log_File);
        row.fault();
        Make_Record();
        Load();
        EXPECT_EQ(Numbers_Of(*Settings), Default_Numbers);
        EXPECT_EQ(Texts_Of(*Settings), Default_Texts);
        EXPECT_EQ(Flags_Of(*Settings), "11111");
        // Changes are still seen, on the default values.
        EXPECT_EQ(Log_Lines().size(), 1u);
        Load();
        EXPECT_EQ(Log_Lines().size(), 1u);
        Settings->RemoteC4Stacked = 9;
        Load();
        EXPECT_EQ(Log_Lines().size(), 2u);
        delete Settings;
        Settings = nullptr;
        standin::Install_Host_Routines();
    }
    EXPECT_EQ(standin::Ini_Counts().Reads.size(), 0u);
}

// An operator's file as it would stand beside the server: comments, blank lines, Windows
// line ends, a general part and the part for one map.
TEST_F(SettingsLoading, a_real_settings_file_fills_every_field_and_logs_its_change) {
    const std::string file =
        "; Tarnwick: where C4 may stay\r\n"
        "[General]\r\n"
        "TimedC4Limit = 3\r\n"
        "RemoteC4Limit=4\r\n"
        "TimedC4Stacked=2\r\n"
        "RemoteC4Stacked=5\r\n"
        "ActivationWaitTime=10\r\n"
        "PPAGE_Message=Do not put C4 on your own team's things.\r\n"
        "TimedC4Limit_Message=Too many timed C4 on empty vehicles.\r\n"
        "RemoteC4Limit_Message=-1\r\n"
        "TimedC4Stacked_Message=Stop stacking timed C4.\r\n"
        "RemoteC4Stacked_Message=Stop stacking remote C4.\r\n"
        "\r\n"
        "# Field is a small map\r\n"
        "[C&C_Field.mix]\r\n"
        "RemoteC4Limit=8\r\n"
        "ActivationWaitTime=5\r\n"
        "TimedC4Stacked_Message=-1\r\n"
        "RemoteC4Limit_Message=Field allows 8 remote C4 on empty vehicles.\r\n";
    Write_File(Settings_File, file);
    host_settings.Set_Console_Echo(true);

    testing::internal::CaptureStdout();
    Load();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "New settings detected and loaded from tarnwick.ini!\n");

    EXPECT_EQ(Numbers_Of(*Settings), "TimedC4Limit=3 RemoteC4Limit=8 TimedC4Stacked=2 "
                                     "RemoteC4Stacked=5 ActivationWaitTime=5");
    EXPECT_EQ(Texts_Of(*Settings),
              "PPAGE_Message=Do not put C4 on your own team's things. "
              "TimedC4Limit_Message=Too many timed C4 on empty vehicles. "
              "RemoteC4Limit_Message=Field allows 8 remote C4 on empty vehicles. "
              "TimedC4Stacked_Message=-1 RemoteC4Stacked_Message=Stop stacking remote C4.");
    EXPECT_EQ(Flags_Of(*Settings), "11101");
    EXPECT_EQ(Read_File(Copy_File_Path), file);
    EXPECT_EQ(Read_File(Settings_File), file);
    EXPECT_EQ(Log_Lines(), std::vector<std::string>{Change_Line});
    EXPECT_EQ(standin::Ini_Counts().Live, 1u);

    delete Settings;
    Settings = nullptr;
    EXPECT_FALSE(File_Exists(Copy_File_Path));
    EXPECT_EQ(standin::Ini_Counts().Live, 0u);
}

} // namespace
