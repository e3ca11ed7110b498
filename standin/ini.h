// The server's INI routines as the stand-in serves them: Host_INI_Load reads a file of
// the server's data folder (./data/<name>) into an INI object, the two member routines
// answer for sections and keys, Host_INI_Release frees the object. The syntax is the
// stand-in's own; README.md describes it.
#pragma once

#include "host/calling.h"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <utility>
#include <vector>

namespace standin {

// A file as the reader sees it, with the line (from 1) where each part stands: what the
// INI objects answer from, and what the settings checker reports on.
struct IniEntry {
    std::string Key, Value; // trimmed
    size_t Line;
};
struct IniSection {
    std::string Name;
    size_t Line;
    std::vector<IniEntry> Entries; // in file order; a key may come more than once
};
// A line that is neither blank, comment, section nor key, and that the reader passes over.
struct IniIgnoredLine {
    size_t Line;
    const char* Why;
};
struct IniDocument {
    std::vector<IniSection> Sections; // in file order; a name may come more than once
    std::vector<IniIgnoredLine> Ignored;
};
IniDocument Parse_Ini(std::istream& in);
// The entry that answers for a key: the first one in the first section of that name (in
// any letter case) that has it; null when there is none.
const IniEntry* Find_Ini_Entry(const IniDocument& ini, const char* section, const char* key);
// The integer reader, like atoi: blanks, a sign and the leading decimal digits; 0 without
// digits; beyond the 32-bit range, the nearest end of it.
int32_t Ini_Integer(const std::string& value);

// An object also for a missing or unreadable file: an empty one, on which every read
// gives its default.
void* INI_Load(const char* file_name);
void INI_Release(void* ini);
int32_t THISCALL INI_Get_Int(void* ini, const char* section, const char* key,
                             int32_t default_value);
// Writes the value, or the default, cut to fit: at most `size` bytes including the
// terminator, and always terminated when size is not 0.
void THISCALL INI_Get_String(void* ini, const char* section, const char* key,
                             const char* default_value, char* buffer, uint32_t size);

struct IniCounts {
    size_t Live = 0;                       // objects loaded and not yet released
    size_t Releases = 0;                   // every release of a live object
    size_t Bad_Handle_Calls = 0;           // reads or releases of null or of no live object
    std::vector<std::string> Loaded_Names; // the names INI_Load was given, in order
    // Section and key of every read on a live object, in order.
    std::vector<std::pair<std::string, std::string>> Reads;
};
IniCounts Ini_Counts();
// IniCounts::Live alone, without copying the records of every load and read.
size_t Live_Ini_Objects();

// Frees every live object and forgets the counts.
void Reset_Ini();

} // namespace standin
