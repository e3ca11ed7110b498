// A settings file read the way the plugin reads it: every key looked up in "General" and
// then in the override section, whose value wins, through the server's INI reader (the
// stand-in's, standin/ini.h); a key in neither takes its default. On top, what an
// operator should hear about: pages switched off, pages too long to be sent, unknown or
// repeated keys, numbers that are not numbers.
//
// The keys and their defaults are written out here on their own, not taken from the
// plugin, so that a slip on either side shows up in the example scenarios.
#pragma once

#include "standin/ini.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

enum class KeyKind { Integer, Text };

struct SettingKey {
    const char* Name;
    KeyKind Kind;
    const char* Default; // "1" or "null"
};

// The ten keys, in the order the plugin reads them.
extern const SettingKey Setting_Keys[10];
const SettingKey* Find_Setting_Key(const std::string& name); // any letter case

// The texts the plugin reads are cut to this many characters (its read buffer is 500
// bytes), and a page line longer than this is never sent.
constexpr size_t Text_Value_Limit = 499;
constexpr size_t Page_Line_Limit = 255;
// The text that switches a page off.
constexpr char Page_Off[] = "-1";

enum class ValueSource { General, Override, Default };

struct EffectiveSetting {
    const SettingKey* Key;
    std::string Text;   // the text the plugin holds (text keys), or the number in decimal
    int32_t Number = 0; // integer keys
    ValueSource Source = ValueSource::Default;
    size_t Line = 0; // where the value stands in the file; 0 for a default
};

enum class Severity { Note, Warning, Error };

struct Finding {
    Severity Level;
    size_t Line; // 0 when it concerns no one line
    std::string Text;
};

struct SettingsReport {
    std::string Section; // the override section's name
    bool Section_Found = false;
    std::vector<EffectiveSetting> Values; // the ten keys, in reading order
    std::vector<Finding> Findings;        // in line order, those of no line first

    const EffectiveSetting& Value(const char* key) const;
    size_t Count(Severity level) const;
};

SettingsReport Check_Settings(const standin::IniDocument& ini, const std::string& section);

// The page line of a text for a player id, as the plugin composes it.
std::string Page_Line(int32_t player_id, const std::string& text);
// The longest player id, in digits, whose page line of this text is sent: 0 when none is.
// Ids of up to four digits are what a server gives.
size_t Longest_Id_Paged(const std::string& text);

// Reads a settings file, as bytes or parsed; false, with the reason and the path, when it
// is missing or cannot be read.
bool Read_Settings_Bytes(const std::string& path, std::string& bytes, std::string& error);
bool Read_Settings_File(const std::string& path, standin::IniDocument& ini, std::string& error);

} // namespace sim
