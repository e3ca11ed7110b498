#include "standin/ini.h"

#include "engine/ascii.h"

#include <climits>
#include <cstring>
#include <fstream>
#include <set>
#include <utility>

namespace standin {
namespace {

struct IniState {
    std::set<const void*> live;
    IniCounts counts;
};

IniState& State() {
    static IniState state;
    return state;
}

bool Is_Blank(char c) {
    return c == ' ' || c == '\t';
}

std::string Trimmed(const std::string& s, size_t begin, size_t end) {
    while (begin < end && Is_Blank(s[begin]))
        ++begin;
    while (end > begin && Is_Blank(s[end - 1]))
        --end;
    return s.substr(begin, end - begin);
}

// A live object, or null (counted) for anything else.
const IniDocument* Live_Object(void* ini) {
    IniState& s = State();
    if (!ini || !s.live.count(ini)) {
        ++s.counts.Bad_Handle_Calls;
        return nullptr;
    }
    return static_cast<const IniDocument*>(ini);
}

void Note_Read(const char* section, const char* key) {
    State().counts.Reads.emplace_back(section ? section : "", key ? key : "");
}

void Parse_Line(IniDocument& ini, std::string line, size_t number) {
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    const std::string text = Trimmed(line, 0, line.size());
    if (text.empty() || text[0] == ';' || text[0] == '#')
        return;
    if (text[0] == '[') {
        const size_t close = text.find(']');
        if (close != std::string::npos)
            ini.Sections.push_back({Trimmed(text, 1, close), number, {}});
        else
            ini.Ignored.push_back({number, "a section name without ']'"});
        return;
    }
    const size_t equals = text.find('=');
    if (equals == std::string::npos) {
        ini.Ignored.push_back({number, "no '=' in the line"});
        return;
    }
    std::string key = Trimmed(text, 0, equals);
    if (key.empty())
        ini.Ignored.push_back({number, "an empty key"});
    else if (ini.Sections.empty())
        ini.Ignored.push_back({number, "a key before the first section"});
    else
        ini.Sections.back().Entries.push_back(
            {std::move(key), Trimmed(text, equals + 1, text.size()), number});
}

} // namespace

IniDocument Parse_Ini(std::istream& in) {
    IniDocument ini;
    std::string line;
    for (size_t number = 1; std::getline(in, line); ++number)
        Parse_Line(ini, line, number);
    return ini;
}

const IniEntry* Find_Ini_Entry(const IniDocument& ini, const char* section, const char* key) {
    if (!section || !key)
        return nullptr;
    for (const IniSection& s : ini.Sections) {
        if (!Ascii_Equal_Ignoring_Case(s.Name.c_str(), section))
            continue;
        for (const IniEntry& entry : s.Entries)
            if (Ascii_Equal_Ignoring_Case(entry.Key.c_str(), key))
                return &entry;
    }
    return nullptr;
}

int32_t Ini_Integer(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && Is_Blank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > static_cast<long long>(INT32_MAX) + 1)
            magnitude = static_cast<long long>(INT32_MAX) + 1;
    }
    const long long value = negative ? -magnitude : magnitude;
    return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

void* INI_Load(const char* file_name) {
    IniState& s = State();
    s.counts.Loaded_Names.push_back(file_name ? file_name : "");
    IniDocument* ini = new IniDocument;
    if (file_name) {
        std::ifstream in(std::string("./data/") + file_name, std::ios::binary);
        *ini = Parse_Ini(in);
    }
    s.live.insert(ini);
    ++s.counts.Live;
    return ini;
}

void INI_Release(void* ini) {
    IniState& s = State();
    if (!Live_Object(ini))
        return;
    s.live.erase(ini);
    --s.counts.Live;
    ++s.counts.Releases;
    delete static_cast<IniDocument*>(ini);
}

int32_t THISCALL INI_Get_Int(void* ini, const char* section, const char* key,
                             int32_t default_value) {
    const IniDocument* file = Live_Object(ini);
    if (!file)
        return default_value;
    Note_Read(section, key);
    const IniEntry* entry = Find_Ini_Entry(*file, section, key);
    return entry ? Ini_Integer(entry->Value) : default_value;
}

void THISCALL INI_Get_String(void* ini, const char* section, const char* key,
                             const char* default_value, char* buffer, uint32_t size) {
    const IniDocument* file = Live_Object(ini);
    if (file)
        Note_Read(section, key);
    const IniEntry* entry = file ? Find_Ini_Entry(*file, section, key) : nullptr;
    const char* text = entry ? entry->Value.c_str() : (default_value ? default_value : "");
    if (!buffer || size == 0)
        return;
    // Measured up to the terminator, as a server would copy a C string.
    size_t length = std::strlen(text);
    if (length > size - 1)
        length = size - 1;
    std::memmove(buffer, text, length);
    buffer[length] = '\0';
}

IniCounts Ini_Counts() {
    return State().counts;
}

size_t Live_Ini_Objects() {
    return State().counts.Live;
}

void Reset_Ini() {
    IniState& s = State();
    for (const void* ini : s.live)
        delete static_cast<const IniDocument*>(ini);
    s.live.clear();
    s.counts = IniCounts{};
}

} // namespace standin
