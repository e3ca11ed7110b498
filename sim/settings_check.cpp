#include "sim/settings_check.h"

#include "engine/ascii.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace sim {

const SettingKey Setting_Keys[10] = {
    {"TimedC4Limit", KeyKind::Integer, "1"},
    {"RemoteC4Limit", KeyKind::Integer, "1"},
    {"TimedC4Stacked", KeyKind::Integer, "1"},
    {"RemoteC4Stacked", KeyKind::Integer, "1"},
    {"PPAGE_Message", KeyKind::Text, "null"},
    {"RemoteC4Stacked_Message", KeyKind::Text, "null"},
    {"TimedC4Stacked_Message", KeyKind::Text, "null"},
    {"RemoteC4Limit_Message", KeyKind::Text, "null"},
    {"TimedC4Limit_Message", KeyKind::Text, "null"},
    {"ActivationWaitTime", KeyKind::Integer, "1"},
};

namespace {

constexpr char General[] = "General";

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Edit distance between two names, letter case aside.
size_t Distance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1,
                               diagonal + (Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

const SettingKey* Nearest_Key(const std::string& name) {
    const SettingKey* nearest = nullptr;
    size_t best = std::max<size_t>(2, name.size() / 3) + 1;
    for (const SettingKey& key : Setting_Keys) {
        const size_t d = Distance(name, key.Name);
        if (d < best) {
            best = d;
            nearest = &key;
        }
    }
    return nearest;
}

// What the server's text reader hands over: measured to the first NUL, cut to fit the
// plugin's buffer.
std::string As_Read(const std::string& value) {
    std::string text = value.substr(0, std::strlen(value.c_str()));
    if (text.size() > Text_Value_Limit)
        text.resize(Text_Value_Limit);
    return text;
}

// A plain decimal number: an optional sign and digits, nothing else.
bool Is_Number(const std::string& value) {
    size_t i = value.empty() || (value[0] != '+' && value[0] != '-') ? 0 : 1;
    if (i == value.size())
        return false;
    for (; i < value.size(); ++i)
        if (value[i] < '0' || value[i] > '9')
            return false;
    return true;
}

bool Beyond_32_Bits(const std::string& value) {
    size_t i = value[0] == '+' || value[0] == '-' ? 1 : 0;
    while (i + 1 < value.size() && value[i] == '0')
        ++i;
    const std::string digits = value.substr(i);
    const char* limit = value[0] == '-' ? "2147483648" : "2147483647";
    return digits.size() > std::strlen(limit) ||
           (digits.size() == std::strlen(limit) && digits > limit);
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

class Checker {
  public:
    Checker(const standin::IniDocument& ini, const std::string& section) : ini_(ini) {
        report_.Section = section;
    }

    SettingsReport Run() {
        for (const standin::IniIgnoredLine& line : ini_.Ignored)
            Add(Severity::Warning, line.Line, std::string("ignored: ") + line.Why);
        Check_Sections();
        for (const standin::IniSection& section : ini_.Sections)
            for (const standin::IniEntry& entry : section.Entries)
                Check_Entry(section, entry);
        for (const SettingKey& key : Setting_Keys)
            report_.Values.push_back(Effective(key));
        for (const EffectiveSetting& value : report_.Values)
            Check_Value(value);
        std::stable_sort(report_.Findings.begin(), report_.Findings.end(),
                         [](const Finding& a, const Finding& b) { return a.Line < b.Line; });
        return report_;
    }

  private:
    void Add(Severity level, size_t line, std::string text) {
        report_.Findings.push_back({level, line, std::move(text)});
    }

    const standin::IniEntry* Entry(const char* section, const char* key) const {
        return standin::Find_Ini_Entry(ini_, section, key);
    }

    bool Has_Section(const std::string& name) const {
        for (const standin::IniSection& s : ini_.Sections)
            if (Ascii_Equal_Ignoring_Case(s.Name.c_str(), name.c_str()))
                return true;
        return false;
    }

    void Check_Sections() {
        report_.Section_Found = Has_Section(report_.Section);
        if (!Has_Section(General))
            Add(Severity::Warning, 0,
                "no [General] section: only the override section and the defaults count");
        if (!report_.Section.empty() && !report_.Section_Found)
            Add(Severity::Warning, 0,
                "no section [" + report_.Section +
                    "] in the file: every key comes from [General] or its default");
    }

    void Check_Entry(const standin::IniSection& section, const standin::IniEntry& entry) {
        const std::string where = " in [" + section.Name + "]";
        const standin::IniEntry* first = Entry(section.Name.c_str(), entry.Key.c_str());
        if (first != &entry)
            Add(Severity::Warning, entry.Line,
                entry.Key + " is given again" + where + "; the first one, at line " +
                    std::to_string(first->Line) + ", counts");
        const SettingKey* key = Find_Setting_Key(entry.Key);
        if (!key) {
            const SettingKey* nearest = Nearest_Key(entry.Key);
            Add(Severity::Warning, entry.Line,
                "unknown key " + Quoted(entry.Key) + where + ": the plugin does not read it" +
                    (nearest ? std::string(" (did you mean ") + nearest->Name + "?)" : ""));
            return;
        }
        if (key->Kind == KeyKind::Integer) {
            const std::string read = std::to_string(standin::Ini_Integer(entry.Value));
            if (!Is_Number(entry.Value))
                Add(Severity::Error, entry.Line,
                    entry.Key + " = " + Quoted(entry.Value) + where +
                        " is not a number: the plugin reads it as " + read);
            else if (Beyond_32_Bits(entry.Value))
                Add(Severity::Warning, entry.Line,
                    entry.Key + " = " + entry.Value + where +
                        " is beyond the 32-bit range: the plugin reads it as " + read);
        } else if (As_Read(entry.Value).size() < entry.Value.size()) {
            Add(Severity::Warning, entry.Line,
                entry.Key + where + " is " + std::to_string(entry.Value.size()) +
                    " characters long: the plugin reads only its first " +
                    std::to_string(As_Read(entry.Value).size()));
        }
    }

    EffectiveSetting Effective(const SettingKey& key) const {
        EffectiveSetting value{&key, key.Default};
        const standin::IniEntry* general = Entry(General, key.Name);
        const standin::IniEntry* override = Entry(report_.Section.c_str(), key.Name);
        const standin::IniEntry* used = override ? override : general;
        if (used) {
            value.Source = used != general ? ValueSource::Override : ValueSource::General;
            value.Line = used->Line;
            value.Text = used->Value;
        }
        if (key.Kind == KeyKind::Integer) {
            value.Number = standin::Ini_Integer(value.Text);
            value.Text = std::to_string(value.Number);
        } else {
            value.Text = As_Read(value.Text);
        }
        return value;
    }

    void Check_Value(const EffectiveSetting& value) {
        const std::string name = value.Key->Name;
        if (value.Key->Kind == KeyKind::Integer) {
            if (name == "ActivationWaitTime" && value.Number <= 0)
                Add(Severity::Note, value.Line,
                    name + " is " + value.Text + ": charges are judged at the next moment");
            else if (name != "ActivationWaitTime" && value.Number <= 0)
                Add(Severity::Note, value.Line,
                    name + " is " + value.Text +
                        ": every charge that this limit counts is removed");
            return;
        }
        if (value.Source == ValueSource::Default) {
            Add(Severity::Warning, 0,
                name + " is missing: its page reads \"null\" (give it a text, or -1 for none)");
            return;
        }
        if (value.Text == Page_Off)
            return;
        const size_t digits = Longest_Id_Paged(value.Text);
        const std::string length = " (" + std::to_string(value.Text.size()) +
                                   " characters; a page line holds at most " +
                                   std::to_string(Page_Line_Limit) + ")";
        if (digits == 0)
            Add(Severity::Warning, value.Line, name + " is too long ever to be sent" + length);
        else if (digits < 4)
            Add(Severity::Warning, value.Line,
                name + " is not sent to players whose id has more than " + std::to_string(digits) +
                    (digits == 1 ? " digit" : " digits") + length);
    }

    const standin::IniDocument& ini_;
    SettingsReport report_;
};

} // namespace

const SettingKey* Find_Setting_Key(const std::string& name) {
    for (const SettingKey& key : Setting_Keys)
        if (Ascii_Equal_Ignoring_Case(key.Name, name.c_str()))
            return &key;
    return nullptr;
}

const EffectiveSetting& SettingsReport::Value(const char* key) const {
    for (const EffectiveSetting& value : Values)
        if (Ascii_Equal_Ignoring_Case(value.Key->Name, key))
            return value;
    return Values.front(); // every report holds the ten keys
}

size_t SettingsReport::Count(Severity level) const {
    return static_cast<size_t>(std::count_if(Findings.begin(), Findings.end(),
                                             [&](const Finding& f) { return f.Level == level; }));
}

SettingsReport Check_Settings(const standin::IniDocument& ini, const std::string& section) {
    return Checker(ini, section).Run();
}

std::string Page_Line(int32_t player_id, const std::string& text) {
    return "ppage " + std::to_string(player_id) + " " + text;
}

size_t Longest_Id_Paged(const std::string& text) {
    size_t digits = 0;
    while (digits < 4 && Page_Line(0, text).size() + digits <= Page_Line_Limit)
        ++digits;
    return digits;
}

bool Read_Settings_Bytes(const std::string& path, std::string& bytes, std::string& error) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        error = path + ": is a folder, not a settings file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read (" + std::strerror(errno) + ")";
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        error = path + ": cannot be read";
        return false;
    }
    bytes = content.str();
    return true;
}

bool Read_Settings_File(const std::string& path, standin::IniDocument& ini, std::string& error) {
    std::string bytes;
    if (!Read_Settings_Bytes(path, bytes, error))
        return false;
    std::istringstream in(bytes);
    ini = standin::Parse_Ini(in);
    return true;
}

} // namespace sim
