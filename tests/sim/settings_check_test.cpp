// The settings checker: the value the plugin will use for each key and where it comes
// from, and what it reports about a file.
#include "sim/settings_check.h"

#include <gmock/gmock.h>

#include <sstream>

using ::testing::HasSubstr;

namespace {

sim::SettingsReport Check(const std::string& text, const std::string& section = "") {
    std::istringstream in(text);
    return sim::Check_Settings(standin::Parse_Ini(in), section);
}

// The findings as "level line: text" for matching.
std::vector<std::string> Findings(const sim::SettingsReport& report) {
    std::vector<std::string> out;
    for (const sim::Finding& f : report.Findings)
        out.push_back(std::string(f.Level == sim::Severity::Error     ? "error"
                                  : f.Level == sim::Severity::Warning ? "warning"
                                                                      : "note") +
                      " " + std::to_string(f.Line) + ": " + f.Text);
    return out;
}

// Lines giving the text keys a value, but for one of them.
std::string Texts(const std::string& value, const std::string& but = "") {
    std::string keys;
    for (const char* key : {"PPAGE_Message", "RemoteC4Stacked_Message", "TimedC4Stacked_Message",
                            "RemoteC4Limit_Message", "TimedC4Limit_Message"})
        if (key != but)
            keys += std::string(key) + "=" + value + "\n";
    return keys;
}

} // namespace

TEST(SettingsCheck, each_value_comes_from_the_override_section_then_General_then_the_default) {
    const sim::SettingsReport r =
        Check("[General]\n"
              "TimedC4Limit=3\n"
              "RemoteC4Limit=4\n"
              "PPAGE_Message=-1\n"
              "[general]\n"
              "TimedC4Limit=9\n" // a section given twice: first key counts
              "[C&C_Field.mix]\n"
              "remotec4limit=7\n"
              "PPAGE_Message=Stop it\n",
              "c&c_field.MIX");
    EXPECT_TRUE(r.Section_Found);
    struct Row {
        const char* Key;
        std::string Text;
        sim::ValueSource Source;
        size_t Line;
    };
    for (const Row& row : {Row{"TimedC4Limit", "3", sim::ValueSource::General, 2},
                           Row{"RemoteC4Limit", "7", sim::ValueSource::Override, 8},
                           Row{"PPAGE_Message", "Stop it", sim::ValueSource::Override, 9},
                           Row{"TimedC4Stacked", "1", sim::ValueSource::Default, 0},
                           Row{"TimedC4Limit_Message", "null", sim::ValueSource::Default, 0}}) {
        SCOPED_TRACE(row.Key);
        const sim::EffectiveSetting& v = r.Value(row.Key);
        EXPECT_EQ(v.Text, row.Text);
        EXPECT_EQ(v.Source, row.Source);
        EXPECT_EQ(v.Line, row.Line);
    }
    EXPECT_EQ(r.Value("RemoteC4Limit").Number, 7);
    ASSERT_EQ(r.Values.size(), 10u);
    EXPECT_STREQ(r.Values.front().Key->Name, "TimedC4Limit");
    EXPECT_STREQ(r.Values.back().Key->Name, "ActivationWaitTime");
}

TEST(SettingsCheck, numbers_read_as_the_servers_reader_reads_them) {
    struct Row {
        const char* Value;
        int32_t Number;
        const char* Finding; // empty for none
    };
    for (const Row& row : {Row{"12", 12, ""}, Row{" -3 ", -3, ""}, Row{"+5", 5, ""},
                           Row{"12abc", 12, "is not a number: the plugin reads it as 12"},
                           Row{"0x10", 0, "is not a number: the plugin reads it as 0"},
                           Row{"", 0, "is not a number: the plugin reads it as 0"},
                           Row{"99999999999", 2147483647, "beyond the 32-bit range"},
                           Row{"-2147483648", INT32_MIN, ""}}) {
        SCOPED_TRACE(row.Value);
        const sim::SettingsReport r =
            Check("[General]\n" + Texts("x") + "RemoteC4Stacked=" + row.Value + "\n");
        EXPECT_EQ(r.Value("RemoteC4Stacked").Number, row.Number);
        std::vector<std::string> problems;
        for (const std::string& f : Findings(r))
            if (f.rfind("note", 0) != 0)
                problems.push_back(f);
        if (*row.Finding)
            EXPECT_THAT(problems, testing::ElementsAre(HasSubstr(row.Finding)));
        else
            EXPECT_THAT(problems, testing::IsEmpty());
    }
}

TEST(SettingsCheck, a_file_is_reported_on_line_by_line) {
    const sim::SettingsReport r = Check("RemoteC4Limit=1\n"  // 1: before any section
                                        "[General]\n"        // 2
                                        "RemoteC4Limt=2\n"   // 3: misspelt
                                        "Colour=red\n"       // 4: nothing like it
                                        "TimedC4Limit=two\n" // 5: not a number
                                        "TimedC4Limit=2\n"   // 6: given again
                                        "just words\n"       // 7
                                        "[Broken\n"          // 8
                                        "=5\n" +             // 9
                                        Texts("x"));
    EXPECT_THAT(
        Findings(r),
        testing::ElementsAre(
            "warning 1: ignored: a key before the first section",
            "warning 3: unknown key \"RemoteC4Limt\" in [General]: the plugin does not read it "
            "(did you mean RemoteC4Limit?)",
            "warning 4: unknown key \"Colour\" in [General]: the plugin does not read it",
            "error 5: TimedC4Limit = \"two\" in [General] is not a number: the plugin reads it as "
            "0",
            "note 5: TimedC4Limit is 0: every charge that this limit counts is removed",
            "warning 6: TimedC4Limit is given again in [General]; the first one, at line 5, counts",
            "warning 7: ignored: no '=' in the line",
            "warning 8: ignored: a section name without ']'", "warning 9: ignored: an empty key"));
    EXPECT_EQ(r.Count(sim::Severity::Error), 1u);
}

TEST(SettingsCheck, texts_too_long_to_page_and_missing_ones_are_warned_about) {
    struct Row {
        size_t Length;
        const char* Finding;
    };
    // "ppage <id> <text>": 7 characters and the id's digits around the text.
    for (const Row& row :
         {Row{244, ""}, Row{245, "is not sent to players whose id has more than 3 digits"},
          Row{247, "is not sent to players whose id has more than 1 digit "},
          Row{248, "is too long ever to be sent (248 characters"},
          Row{600, "is too long ever to be sent (499 characters"}}) {
        SCOPED_TRACE(row.Length);
        const sim::SettingsReport r = Check("[General]\n" + Texts("-1", "PPAGE_Message") +
                                            "PPAGE_Message=" + std::string(row.Length, 'a'));
        std::vector<std::string> found;
        for (const std::string& f : Findings(r))
            if (f.find("PPAGE_Message is") != std::string::npos)
                found.push_back(f);
        if (*row.Finding)
            EXPECT_THAT(found, testing::ElementsAre(HasSubstr(row.Finding)));
        else
            EXPECT_THAT(found, testing::IsEmpty());
    }
    const sim::SettingsReport cut = Check("[General]\nPPAGE_Message=" + std::string(600, 'a'));
    EXPECT_EQ(cut.Value("PPAGE_Message").Text.size(), 499u);
    EXPECT_THAT(Findings(cut), testing::Contains(HasSubstr("is 600 characters long: the plugin "
                                                           "reads only its first 499")));
    EXPECT_THAT(Findings(cut), testing::Contains("warning 0: TimedC4Limit_Message is missing: its "
                                                 "page reads \"null\" (give it a text, or -1 for "
                                                 "none)"));
}

TEST(SettingsCheck, a_section_that_is_not_there_and_a_file_without_General_are_warned_about) {
    const sim::SettingsReport r = Check("[C&C_Field.mix]\n" + Texts("x"), "C&C_Hourglass.mix");
    EXPECT_FALSE(r.Section_Found);
    EXPECT_THAT(Findings(r), testing::IsSupersetOf({HasSubstr("no [General] section"),
                                                    HasSubstr("no section [C&C_Hourglass.mix]")}));
}

TEST(SettingsCheck, a_missing_file_or_a_folder_is_an_error_with_its_path) {
    standin::IniDocument ini;
    std::string error;
    EXPECT_FALSE(sim::Read_Settings_File("no/such/tarnwick.ini", ini, error));
    EXPECT_THAT(error, HasSubstr("no/such/tarnwick.ini: cannot be read"));
    EXPECT_FALSE(sim::Read_Settings_File(".", ini, error));
    EXPECT_THAT(error, HasSubstr(".: is a folder"));
}
