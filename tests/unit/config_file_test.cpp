// The settings file's access: the temporary copy and the INI handle, the two reads of
// every key ("General", then the host's section), the one change line per load, and the
// file services beneath them.
#include "config/config_file.h"

#include "host/host_addresses.h"
#include "host_files_test.h"
#include "platform/platform.h"
#include "standin/ini.h"

#include <string>

namespace {

constexpr const char* Settings_File = "tarnwick.ini";
constexpr const char* Copy_File_Path = "data/TEMPtarnwick.ini";

class ConfigFileTest : public HostFilesTest {
  protected:
    static std::string Text_Of(const Text& text) {
        return std::string(text.Chars(), text.Length());
    }
};

TEST_F(ConfigFileTest, its_names_are_arrays_of_the_server) {
    ConfigFile config;
    ASSERT_NE(config.FileName, nullptr);
    ASSERT_NE(config.TempFileName, nullptr);
    EXPECT_STREQ(config.FileName, "tarnwick.ini");
    EXPECT_STREQ(config.TempFileName, "TEMPtarnwick.ini");
    EXPECT_EQ(standin::Block_Size(config.FileName), 13u);
    EXPECT_EQ(standin::Block_Size(config.TempFileName), 17u);
    EXPECT_EQ(config.IniHandle, nullptr);
}

TEST_F(ConfigFileTest, the_host_section_wins_over_General_which_wins_over_the_default) {
    Write_File(Settings_File, "[General]\n"
                              "GeneralOnly=11\nBoth=12\nGeneralOnlyText=g\nBothText=g2\n"
                              "[C&C_Field.mix]\n"
                              "OverrideOnly=21\nBoth=22\nOverrideOnlyText=o\nBothText=o2\n");
    ConfigFile config;
    config.Reload();
    struct Row {
        const char* key;
        int32_t number;
        const char* text_key;
        const char* text;
    } rows[] = {
        {"GeneralOnly", 11, "GeneralOnlyText", "g"},
        {"OverrideOnly", 21, "OverrideOnlyText", "o"},
        {"Both", 22, "BothText", "o2"},
        {"Neither", 1, "NeitherText", "null"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        int32_t number = -99;
        Text text;
        config.Read_Int_Setting(row.key, number);
        config.Read_String_Setting(row.text_key, text);
        EXPECT_EQ(number, row.number);
        EXPECT_EQ(Text_Of(text), row.text);
    }
}

TEST_F(ConfigFileTest, the_host_section_is_taken_afresh_at_every_read) {
    Write_File(Settings_File, "[General]\nKey=1\n[First]\nKey=2\n[Second]\nKey=3\n");
    ConfigFile config;
    config.Reload();
    int32_t value = 0;
    host_context.Set_Section_Name("First");
    config.Read_Int_Setting("Key", value);
    EXPECT_EQ(value, 2);
    host_context.Set_Section_Name("Second");
    config.Read_Int_Setting("Key", value);
    EXPECT_EQ(value, 3);
    host_context.Set_Section_Name("");
    config.Read_Int_Setting("Key", value);
    EXPECT_EQ(value, 1);
}

TEST_F(ConfigFileTest, without_the_host_context_the_General_values_stand) {
    Write_File(Settings_File, "[General]\nKey=5\nText=g\n[C&C_Field.mix]\nKey=7\nText=o\n");
    Host_Context = nullptr;
    ConfigFile config;
    config.Reload();
    int32_t value = 0;
    Text text;
    config.Read_Int_Setting("Key", value);
    config.Read_String_Setting("Text", text);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(Text_Of(text), "g");
}

TEST_F(ConfigFileTest, a_change_is_the_final_value_against_the_value_before_the_read) {
    Write_File(Settings_File, "[General]\nSame=5\nMasked=5\nText=abc\n"
                              "[C&C_Field.mix]\nMasked=7\n");
    ConfigFile config;
    config.Reload();
    struct Row {
        const char* name;
        bool text;
        const char* key;
        int32_t before;
        const char* before_text;
    } rows[] = {
        {"a number only in General, as it was", false, "Same", 5, ""},
        {"a number whose General value differs but the final one does not", false, "Masked", 7, ""},
        {"a missing text already holding null", true, "Missing", 0, "null"},
        {"a text as it was", true, "Text", 0, "abc"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        config.ChangeLogged = false;
        int32_t number = row.before;
        Text text;
        text.Assign(row.before_text);
        if (row.text)
            config.Read_String_Setting(row.key, text);
        else
            config.Read_Int_Setting(row.key, number);
        EXPECT_FALSE(config.ChangeLogged);
    }
    EXPECT_FALSE(File_Exists(Log_File));
}

TEST_F(ConfigFileTest, one_load_writes_one_change_line_at_its_first_change) {
    Write_File(Settings_File, "[General]\nA=2\nB=3\nText=new\n");
    ConfigFile config;
    config.Reload();
    config.ChangeLogged = false;
    int32_t a = 1, b = 1;
    Text text;
    config.Read_Int_Setting("A", a);
    EXPECT_TRUE(config.ChangeLogged);
    EXPECT_EQ(Log_Lines(), std::vector<std::string>{Change_Line});
    config.Read_Int_Setting("B", b);
    config.Read_String_Setting("Text", text);
    EXPECT_EQ(Log_Lines().size(), 1u);
    EXPECT_EQ(b, 3);
    EXPECT_EQ(Text_Of(text), "new");

    // The next load may write its own line.
    config.ChangeLogged = false;
    text.Assign("old");
    config.Read_String_Setting("Text", text);
    EXPECT_EQ(Log_Lines(), (std::vector<std::string>{Change_Line, Change_Line}));
}

TEST_F(ConfigFileTest, a_text_too_long_for_the_read_buffer_arrives_cut_to_499_characters) {
    const std::string general(600, 'g'), override_text(700, 'o');
    Write_File(Settings_File, "[General]\nLong=" + general + "\nBoth=" + general +
                                  "\n[C&C_Field.mix]\nBoth=" + override_text + "\n");
    ConfigFile config;
    config.Reload();
    Text text;
    config.Read_String_Setting("Long", text);
    EXPECT_EQ(Text_Of(text), general.substr(0, 499));
    config.Read_String_Setting("Both", text);
    EXPECT_EQ(Text_Of(text), override_text.substr(0, 499));
}

TEST_F(ConfigFileTest, reload_loads_a_fresh_copy_and_holds_exactly_one_handle) {
    Write_File(Settings_File, "[General]\nKey=5\n");
    ConfigFile config;
    config.Reload();
    EXPECT_EQ(Read_File(Copy_File_Path), "[General]\nKey=5\n");
    EXPECT_EQ(standin::Ini_Counts().Loaded_Names, std::vector<std::string>{"TEMPtarnwick.ini"});

    Write_File(Settings_File, "[General]\nKey=6\n");
    config.Reload();
    const standin::IniCounts ini = standin::Ini_Counts();
    EXPECT_EQ(ini.Live, 1u);
    EXPECT_EQ(ini.Releases, 1u);
    EXPECT_NE(config.IniHandle, nullptr);
    int32_t value = 0;
    config.Read_Int_Setting("Key", value);
    EXPECT_EQ(value, 6);
    EXPECT_EQ(Read_File(Settings_File), "[General]\nKey=6\n") << "the settings file is only read";
}

TEST_F(ConfigFileTest, a_missing_settings_file_leaves_no_copy_of_an_earlier_run_to_load) {
    Write_File(Copy_File_Path, "[General]\nKey=5\n");
    ConfigFile config;
    config.Reload();
    EXPECT_FALSE(File_Exists(Copy_File_Path));
    ASSERT_NE(config.IniHandle, nullptr);
    int32_t value = 0;
    config.Read_Int_Setting("Key", value);
    EXPECT_EQ(value, 1);
}

TEST_F(ConfigFileTest, destruction_gives_the_handle_back_and_deletes_the_copy) {
    Write_File(Settings_File, "[General]\nKey=5\n");
    {
        ConfigFile config;
        config.Reload();
        ASSERT_TRUE(File_Exists(Copy_File_Path));
    }
    EXPECT_EQ(standin::Ini_Counts().Live, 0u);
    EXPECT_EQ(standin::Ini_Counts().Releases, 1u);
    EXPECT_FALSE(File_Exists(Copy_File_Path));
    EXPECT_EQ(Read_File(Settings_File), "[General]\nKey=5\n");

    // Without a Reload there is nothing to give back.
    { ConfigFile never_loaded; }
    EXPECT_EQ(standin::Ini_Counts().Releases, 1u);
}

void* No_Block(uint32_t) {
    return nullptr;
}

TEST_F(ConfigFileTest, without_memory_for_its_names_it_touches_no_file_and_reads_defaults) {
    Write_File(Settings_File, "[General]\nKey=5\n");
    Write_File(Copy_File_Path, "stale");
    Host_Alloc_Array = &No_Block;
    {
        ConfigFile config;
        EXPECT_EQ(config.FileName, nullptr);
        EXPECT_EQ(config.TempFileName, nullptr);
        config.Reload();
        EXPECT_EQ(config.IniHandle, nullptr);
        int32_t value = 7;
        config.Read_Int_Setting("Key", value);
        EXPECT_EQ(value, 1);
    }
    EXPECT_EQ(Read_File(Copy_File_Path), "stale");
    EXPECT_EQ(Log_Lines(), std::vector<std::string>{Change_Line});
}

TEST_F(ConfigFileTest, without_any_memory_nothing_fails) {
    Write_File(Settings_File, "[General]\nText=abc\n");
    standin::Fail_After(0);
    {
        ConfigFile config;
        config.Reload();
        Text text;
        config.Read_String_Setting("Text", text);
        EXPECT_EQ(text.Length(), 0u);
    }
    standin::Fail_After(-1);
}

TEST(PlatformFiles, a_copy_is_byte_for_byte_and_replaces_the_target) {
    ScratchDirectory directory;
    static const char raw[] = "line\r\nhigh \xe4\xff and a zero \0 byte\n";
    const std::string bytes(raw, sizeof raw - 1);
    Write_File("from", bytes);
    Write_File("to", std::string(5000, 'x'));
    Copy_File("from", "to");
    EXPECT_EQ(Read_File("to"), bytes);

    Copy_File("missing", "to");
    EXPECT_EQ(Read_File("to"), bytes) << "a missing source leaves the target alone";
    Copy_File("from", "from");
    EXPECT_EQ(Read_File("from"), bytes) << "a copy onto itself loses nothing";

    Delete_File("to");
    EXPECT_FALSE(File_Exists("to"));
    Delete_File("to"); // already gone: nothing happens
}

} // namespace
