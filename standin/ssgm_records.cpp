#include "standin/ssgm_records.h"

#include <cstring>

namespace standin {

using namespace ssgm_layout;

namespace {
// Filler for bytes the plugin has no business reading.
constexpr unsigned char Unused_Fill = 0xA5;

void Put_Word(unsigned char* at, uint32_t value) {
    std::memcpy(at, &value, sizeof value);
}
} // namespace

HostSettingsRecord::HostSettingsRecord() {
    std::memset(bytes_, Unused_Fill, sizeof bytes_);
    Set_File_Log_All(false);
    Set_Console_Echo(false);
    Set_Log_File_Prefix("");
}

void HostSettingsRecord::Set_File_Log_All(bool on) {
    bytes_[Settings_File_Log_All] = on ? 1 : 0;
}

void HostSettingsRecord::Set_Console_Echo(bool on) {
    bytes_[Settings_Console_Echo] = on ? 1 : 0;
}

void HostSettingsRecord::Set_Log_File_Prefix(const std::string& prefix) {
    unsigned char* s = bytes_ + Settings_Log_File_Prefix;
    const uint32_t length = static_cast<uint32_t>(prefix.size());
    std::memset(s + Host_String_Text, 0, 16);
    if (length <= 15) {
        std::memcpy(s + Host_String_Text, prefix.c_str(), length + 1);
        Put_Word(s + Host_String_Capacity, 15);
    } else {
        long_prefix_ = prefix;
        const char* text = long_prefix_.c_str();
        std::memcpy(s + Host_String_Text, &text, sizeof text);
        Put_Word(s + Host_String_Capacity, length);
    }
    Put_Word(s + Host_String_Length, length);
}

HostContextRecord::HostContextRecord(const std::string& section_name) {
    std::memset(bytes_, Unused_Fill, sizeof bytes_);
    Set_Section_Name(section_name);
}

void HostContextRecord::Set_Section_Name(const std::string& name) {
    const size_t room = Context_Size - Context_Section_Name - 1;
    const size_t length = name.size() < room ? name.size() : room;
    std::memcpy(bytes_ + Context_Section_Name, name.data(), length);
    bytes_[Context_Section_Name + length] = '\0';
}

} // namespace standin
