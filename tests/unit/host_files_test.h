// The fixture of the tests that touch the server's files: a fresh stand-in, a fresh
// working directory with its data/ folder, the plugin host's records in place (every line
// to the file, prefix "srv", override section "C&C_Field.mix") and the clock at 5 March
// 2011, 09:05:03, so the day's log file is srv_3-5-2011.txt.
#pragma once

#include "fixed_clock.h"
#include "plugin/plugin_state.h"
#include "scratch_directory.h"
#include "standin/ssgm_records.h"
#include "standin_test.h"

#include <string>
#include <vector>

class HostFilesTest : public StandinTest {
  protected:
    static constexpr const char* Log_File = "srv_3-5-2011.txt";
    static constexpr const char* Change_Line =
        "[09:05:03] _GENERAL New settings detected and loaded from tarnwick.ini!";

    void SetUp() override {
        StandinTest::SetUp();
        host_settings.Set_File_Log_All(true);
        host_settings.Set_Log_File_Prefix("srv");
        Host_Settings = host_settings.Record();
        Host_Context = host_context.Record();
    }
    void TearDown() override {
        Host_Settings = nullptr;
        Host_Context = nullptr;
        StandinTest::TearDown();
    }

    // The log file is written in text mode: its line end is the platform's.
#ifdef _WIN32
    static constexpr const char* Line_End = "\r\n";
#else
    static constexpr const char* Line_End = "\n";
#endif

    // The lines of a file without their line ends; none for a missing file.
    static std::vector<std::string> Lines_Of(const std::string& path) {
        std::vector<std::string> lines;
        const std::string bytes = Read_File(path);
        const size_t end_length = std::char_traits<char>::length(Line_End);
        size_t start = 0;
        for (size_t end; (end = bytes.find(Line_End, start)) != std::string::npos;
             start = end + end_length)
            lines.push_back(bytes.substr(start, end - start));
        if (start < bytes.size())
            lines.push_back(bytes.substr(start));
        return lines;
    }
    static std::vector<std::string> Log_Lines() {
        return Lines_Of(Log_File);
    }

    ScratchDirectory directory;
    FixedClock clock{LocalTime{2011, 3, 5, 9, 5, 3}};
    standin::HostSettingsRecord host_settings;
    standin::HostContextRecord host_context{"C&C_Field.mix"};
};
