#include "config/log_writer.h"

#include "platform/platform.h"
#include "plugin/plugin_state.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

Text Format_String(const char* format, ...) {
    char buffer[2048];
    buffer[0] = '\0';
    va_list arguments;
    va_start(arguments, format);
    const int written = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    // Some runtimes leave a cut result unterminated, and an encoding error leaves the
    // buffer undefined.
    if (written < 0)
        buffer[0] = '\0';
    buffer[sizeof buffer - 1] = '\0';
    Text result;
    result.Assign(buffer);
    return result;
}

const char* Format_Date(int month, int day, int year) {
    static char date[40]; // room for three full-range integers
    std::snprintf(date, sizeof date, "%d-%d-%04d", month, day, year);
    return date;
}

namespace {
// The one header the host wants in its log whatever its settings say, and never on the
// console.
bool Is_Game_Log(const char* header) {
    return std::strcmp(header, "_GAMELOG") == 0;
}
} // namespace

// Which lines go where follows the host's settings, read afresh for every line:
// - FileLogAll clear: only "_GAMELOG" lines reach the file; all others are dropped.
// - ConsoleEcho set: every line but "_GAMELOG" that reached the file is also printed.
// The file is opened for the one line and closed after it, so other writers can share it
// and a line after midnight goes to the next day's file.
void Log_Message(const char* message, const char* header) {
    if (!Host_Settings)
        return;
    if (!message)
        message = "";
    if (!header)
        header = "";
    const bool game_log = Is_Game_Log(header);
    if (!Host_Byte_At(Host_Settings, Host_Settings_File_Log_All) && !game_log)
        return;

    const char* prefix =
        Host_String_Text(Host_String_At(Host_Settings, Host_Settings_Log_File_Prefix));
    const LocalTime day = Local_Time();
    const Text file_name =
        Format_String("%s_%s.txt", prefix ? prefix : "", Format_Date(day.Month, day.Day, day.Year));
    std::FILE* file = file_name.Length() ? std::fopen(file_name.Chars(), "a") : nullptr;

    const LocalTime now = Local_Time();
    if (Host_Byte_At(Host_Settings, Host_Settings_Console_Echo) && !game_log) {
        std::printf("%s\n", message);
        std::fflush(stdout);
    }
    if (!file)
        return;
    const Text line =
        Format_String("[%02d:%02d:%02d] %s %s", now.Hour, now.Minute, now.Second, header, message);
    if (line.Length()) {
        std::fputs(line.Chars(), file);
        std::fputc('\n', file);
        std::fflush(file);
    }
    std::fclose(file);
}
