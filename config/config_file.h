// The plugin's access to its settings file. It does not parse the file: it copies it to a
// temporary name in the server's data folder, has the server's INI routines load the
// copy, and reads single keys through them, first in "General" and then in the section
// the plugin host names, whose value wins. The first changed value of a load writes one
// line to the server's log.
#pragma once

#include "engine/host_memory.h"
#include "engine/text.h"

#include <cstdint>

class ConfigFile : public HostAllocated {
  public:
    ConfigFile();
    ~ConfigFile();
    ConfigFile(const ConfigFile&) = delete;
    ConfigFile& operator=(const ConfigFile&) = delete;

    // Copies the settings file afresh to the temporary name and loads the copy into a new
    // INI handle, giving the old one back.
    void Reload();
    // `value` holds the previous value on entry and the key's value on return: the
    // override section's, else the one in "General", else 1.
    void Read_Int_Setting(const char* key, int32_t& value);
    // The same for a text, cut to 499 characters; the last default is "null".
    void Read_String_Setting(const char* key, Text& value);

    char* FileName = nullptr;     // "tarnwick.ini", from Host_Alloc_Array
    char* TempFileName = nullptr; // "TEMP" and FileName, from Host_Alloc_Array
    void* IniHandle = nullptr;    // the server's INI object of the last Reload
    bool ChangeLogged = false;    // this load's change line has been written

  private:
    Text Copy_Path() const;
    int32_t Ini_Int(const char* section, const char* key, int32_t default_value) const;
    void Ini_String(const char* section, const char* key, const char* default_value,
                    char* buffer) const;
    void Note_Value_Read(bool changed);
};
