// The server's daily log file: which lines reach the file and the console under the
// plugin host's settings, the file's name and line format, and the two formatters.
#include "config/log_writer.h"

#include "host_files_test.h"

#include <ctime>
#include <string>

namespace {

using LogWriter = HostFilesTest;

// Runs one Log_Message and gives what reached standard output.
std::string Echo_Of(const char* message, const char* header) {
    testing::internal::CaptureStdout();
    Log_Message(message, header);
    return testing::internal::GetCapturedStdout();
}

TEST_F(LogWriter, the_host_settings_decide_which_lines_reach_the_file_and_the_console) {
    struct Row {
        const char* name;
        bool file_log_all, console_echo;
        const char* header;
        bool to_file, to_console;
    } rows[] = {
        {"without FileLogAll a plain line is dropped", false, true, "_GENERAL", false, false},
        {"without FileLogAll a game-log line is filed", false, true, "_GAMELOG", true, false},
        {"FileLogAll and echo: filed and echoed", true, true, "_GENERAL", true, true},
        {"FileLogAll alone: filed only", true, false, "_GENERAL", true, false},
        {"a game-log line is never echoed", true, true, "_GAMELOG", true, false},
        {"_gamelog is not the game-log header", false, true, "_gamelog", false, false},
        {"_GAMELOG with a blank is not it either", false, true, "_GAMELOG ", false, false},
        {"_gamelog with FileLogAll is echoed", true, true, "_gamelog", true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Delete_File(Log_File);
        host_settings.Set_File_Log_All(row.file_log_all);
        host_settings.Set_Console_Echo(row.console_echo);
        EXPECT_EQ(Echo_Of("abc", row.header), row.to_console ? "abc\n" : "");
        EXPECT_EQ(Read_File(Log_File),
                  row.to_file ? "[09:05:03] " + std::string(row.header) + " abc" + Line_End : "");
    }
}

TEST_F(LogWriter, the_daily_file_is_named_by_the_prefix_and_the_local_date) {
    struct Row {
        const char* prefix;
        const char* file;
    } rows[] = {
        {"srv", "srv_3-5-2011.txt"},
        {"", "_3-5-2011.txt"},
        // Beyond 15 characters SSGM keeps the text in a block of its own.
        {"a_long_server_prefix", "a_long_server_prefix_3-5-2011.txt"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.prefix);
        host_settings.Set_Log_File_Prefix(row.prefix);
        Log_Message("abc", "_GENERAL");
        EXPECT_EQ(Lines_Of(row.file), std::vector<std::string>{"[09:05:03] _GENERAL abc"});
    }
}

TEST_F(LogWriter, lines_are_appended_each_to_the_file_of_its_own_moment) {
    Write_File(Log_File, std::string("another writer") + Line_End);
    Log_Message("first", "_GENERAL");
    clock.Set(LocalTime{2011, 3, 5, 23, 59, 59});
    Log_Message("second", "_GENERAL");
    clock.Set(LocalTime{2011, 3, 6, 0, 0, 1});
    Log_Message("after midnight", "_GENERAL");
    host_settings.Set_Log_File_Prefix("new");
    Log_Message("new prefix", "_GENERAL");

    EXPECT_EQ(Lines_Of(Log_File),
              (std::vector<std::string>{"another writer", "[09:05:03] _GENERAL first",
                                        "[23:59:59] _GENERAL second"}));
    EXPECT_EQ(Lines_Of("srv_3-6-2011.txt"),
              std::vector<std::string>{"[00:00:01] _GENERAL after midnight"});
    EXPECT_EQ(Lines_Of("new_3-6-2011.txt"),
              std::vector<std::string>{"[00:00:01] _GENERAL new prefix"});
}

TEST_F(LogWriter, a_percent_sign_in_the_message_or_header_is_written_as_it_stands) {
    host_settings.Set_Console_Echo(true);
    EXPECT_EQ(Echo_Of("100%s %d", "_%s"), "100%s %d\n");
    EXPECT_EQ(Lines_Of(Log_File), std::vector<std::string>{"[09:05:03] _%s 100%s %d"});
}

TEST_F(LogWriter, a_file_that_cannot_be_opened_loses_the_line_but_not_the_echo) {
    host_settings.Set_Log_File_Prefix("no_such_folder/srv");
    host_settings.Set_Console_Echo(true);
    EXPECT_EQ(Echo_Of("abc", "_GENERAL"), "abc\n");
    EXPECT_FALSE(File_Exists("no_such_folder"));
}

TEST_F(LogWriter, without_the_host_settings_nothing_is_logged) {
    Host_Settings = nullptr;
    EXPECT_EQ(Echo_Of("abc", "_GAMELOG"), "");
    EXPECT_EQ(Echo_Of("abc", "_GENERAL"), "");
    EXPECT_FALSE(File_Exists(Log_File));
    EXPECT_FALSE(File_Exists("_3-5-2011.txt"));
}

TEST(FormatDate, month_and_day_stand_without_leading_zeros_and_the_year_has_four_digits) {
    EXPECT_STREQ(Format_Date(3, 7, 2011), "3-7-2011");
    EXPECT_STREQ(Format_Date(12, 25, 2011), "12-25-2011");
    EXPECT_STREQ(Format_Date(1, 2, 999), "1-2-0999");
    EXPECT_STREQ(Format_Date(1, 2, 12345), "1-2-12345");
}

using FormatString = StandinTest;

TEST_F(FormatString, a_result_is_cut_to_its_first_2047_characters) {
    EXPECT_EQ(std::string(Format_String("%d-%s", 42, "x").Chars()), "42-x");
    for (size_t length : {0u, 2046u, 2047u, 2048u, 5000u}) {
        SCOPED_TRACE(length);
        std::string long_text(length, 'x');
        if (length)
            long_text[0] = 'a';
        const Text result = Format_String("%s", long_text.c_str());
        EXPECT_EQ(std::string(result.Chars(), result.Length()), long_text.substr(0, 2047));
    }
}

TEST_F(FormatString, without_memory_for_the_result_it_gives_an_empty_text) {
    standin::Fail_After(0);
    const Text result = Format_String("%s", "abc");
    EXPECT_EQ(result.Length(), 0u);
    standin::Fail_After(-1);
}

TEST(LocalClock, without_a_source_of_its_own_it_reads_the_system_date) {
    Set_Local_Time_Source(nullptr);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::time_t before = std::time(nullptr);
        const LocalTime now = Local_Time();
        const std::tm expected = *std::localtime(&before);
        if (expected.tm_sec != now.Second && attempt < 2)
            continue; // the second turned between the two readings
        EXPECT_EQ(now.Year, expected.tm_year + 1900);
        EXPECT_EQ(now.Month, expected.tm_mon + 1);
        EXPECT_EQ(now.Day, expected.tm_mday);
        EXPECT_EQ(now.Hour, expected.tm_hour);
        EXPECT_EQ(now.Minute, expected.tm_min);
        break;
    }
}

} // namespace
