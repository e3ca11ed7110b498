#include "config/config_file.h"

#include "config/log_writer.h"
#include "host/host_addresses.h"
#include "platform/platform.h"
#include "plugin/plugin_state.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr char Settings_File_Name[] = "tarnwick.ini";
constexpr char General_Section[] = "General";
constexpr uint32_t Read_Buffer_Size = 500;

// The section the plugin host names; it may change between reads, so it is taken afresh
// each time. Null without the host's context: "General" then stands alone.
const char* Override_Section() {
    if (!Host_Context)
        return nullptr;
    return reinterpret_cast<const char*>(Host_Context) + Host_Context_Section_Name;
}
} // namespace

ConfigFile::ConfigFile() {
    const size_t length = sizeof Settings_File_Name - 1;
    FileName = static_cast<char*>(Plugin_Alloc_Array(length + 1));
    if (FileName)
        std::memcpy(FileName, Settings_File_Name, length + 1);
    // Four letters and the terminator beyond the name.
    TempFileName = static_cast<char*>(Plugin_Alloc_Array(length + 5));
    if (TempFileName)
        std::snprintf(TempFileName, length + 5, "TEMP%s", FileName ? FileName : Settings_File_Name);
}

ConfigFile::~ConfigFile() {
    if (IniHandle && Host_INI_Release)
        Host_INI_Release(IniHandle);
    IniHandle = nullptr;
    if (TempFileName)
        Delete_File(Copy_Path().Chars());
    Plugin_Free_Array(FileName);
    Plugin_Free_Array(TempFileName);
    FileName = TempFileName = nullptr;
}

Text ConfigFile::Copy_Path() const {
    return Format_String("./data/%s", TempFileName);
}

// Without its names (the server gave no memory for them) the file cannot be named and no
// handle is taken; without the server's INI routines there is nothing to load with.
// Either way every read then gives its default.
void ConfigFile::Reload() {
    if (FileName && TempFileName) {
        const Text copy = Copy_Path();
        const Text source = Format_String("./%s", FileName);
        // An earlier copy goes first, so a missing settings file never leaves the copy of
        // an earlier run to be loaded.
        Delete_File(copy.Chars());
        Copy_File(source.Chars(), copy.Chars());
    }
    if (IniHandle && Host_INI_Release)
        Host_INI_Release(IniHandle);
    IniHandle = nullptr;
    if (FileName && TempFileName && Host_INI_Load)
        IniHandle = Host_INI_Load(TempFileName); // the loader looks in ./data itself
}

int32_t ConfigFile::Ini_Int(const char* section, const char* key, int32_t default_value) const {
    if (!section || !IniHandle || !Host_INI_Get_Int)
        return default_value;
    return Host_INI_Get_Int(IniHandle, section, key, default_value);
}

void ConfigFile::Ini_String(const char* section, const char* key, const char* default_value,
                            char* buffer) const {
    if (!section || !IniHandle || !Host_INI_Get_String) {
        std::snprintf(buffer, Read_Buffer_Size, "%s", default_value);
        return;
    }
    buffer[0] = '\0';
    Host_INI_Get_String(IniHandle, section, key, default_value, buffer, Read_Buffer_Size);
    buffer[Read_Buffer_Size - 1] = '\0';
}

void ConfigFile::Read_Int_Setting(const char* key, int32_t& value) {
    const int32_t previous = value;
    const int32_t general = Ini_Int(General_Section, key, 1);
    value = Ini_Int(Override_Section(), key, general);
    Note_Value_Read(value != previous);
}

void ConfigFile::Read_String_Setting(const char* key, Text& value) {
    char general[Read_Buffer_Size];
    char chosen[Read_Buffer_Size];
    Ini_String(General_Section, key, "null", general);
    Ini_String(Override_Section(), key, general, chosen);
    const size_t length = std::strlen(chosen);
    const bool changed = !value.Equals(chosen, length);
    value.Assign(chosen, length);
    Note_Value_Read(changed);
}

// One line per load, at its first change; Load_Settings clears ChangeLogged. The line
// names the settings file, not the copy.
void ConfigFile::Note_Value_Read(bool changed) {
    if (!changed || ChangeLogged)
        return;
    ChangeLogged = true;
    const Text message = Format_String("New settings detected and loaded from %s!",
                                       FileName ? FileName : Settings_File_Name);
    Log_Message(message.Chars(), "_GENERAL");
}
