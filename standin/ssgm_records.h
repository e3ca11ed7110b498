// The plugin host's records that the plugin reads, as raw bytes laid out where SSGM keeps
// its fields: the settings object (FileLogAll, ConsoleEcho, LogFilePrefix) and the
// context object that names the override section. The offsets are written out here on
// their own, so a slip on the plugin's side shows up in a test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct PluginHostSettings;
struct PluginHostContext;

namespace standin {

namespace ssgm_layout {
constexpr size_t Settings_File_Log_All = 150;
constexpr size_t Settings_Console_Echo = 151;
constexpr size_t Settings_Log_File_Prefix = 196; // 28-byte host string
constexpr size_t Settings_Size = 256;
constexpr size_t Host_String_Text = 4; // in place up to 15 characters, else a pointer
constexpr size_t Host_String_Length = 20;
constexpr size_t Host_String_Capacity = 24;
constexpr size_t Context_Section_Name = 4; // NUL-terminated characters in place
constexpr size_t Context_Size = 260;
} // namespace ssgm_layout

class HostSettingsRecord {
  public:
    HostSettingsRecord(); // FileLogAll and ConsoleEcho clear, an empty prefix
    HostSettingsRecord(const HostSettingsRecord&) = delete;
    HostSettingsRecord& operator=(const HostSettingsRecord&) = delete;

    void Set_File_Log_All(bool on);
    void Set_Console_Echo(bool on);
    // Longer prefixes are kept in a block of the record's own, as SSGM keeps them.
    void Set_Log_File_Prefix(const std::string& prefix);

    PluginHostSettings* Record() { return reinterpret_cast<PluginHostSettings*>(bytes_); }

  private:
    alignas(4) unsigned char bytes_[ssgm_layout::Settings_Size];
    std::string long_prefix_;
};

class HostContextRecord {
  public:
    explicit HostContextRecord(const std::string& section_name = "");
    HostContextRecord(const HostContextRecord&) = delete;
    HostContextRecord& operator=(const HostContextRecord&) = delete;

    // Names longer than the record holds are cut to fit.
    void Set_Section_Name(const std::string& name);

    PluginHostContext* Record() { return reinterpret_cast<PluginHostContext*>(bytes_); }

  private:
    alignas(4) unsigned char bytes_[ssgm_layout::Context_Size];
};

} // namespace standin
