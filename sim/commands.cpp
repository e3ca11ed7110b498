#include "sim/commands.h"

#include "sim/settings_check.h"

#include <cstring>
#include <filesystem>
#include <vector>

namespace sim {

namespace {

constexpr char Usage[] =
    "usage:\n"
    "  tarnwick-sim play SCENARIO [--ini FILE] [--section NAME] [--dll FILE] [--json]\n"
    "      plays a match on the real Tarnwick.dll and prints its timeline\n"
    "  tarnwick-sim check FILE [--section NAME]\n"
    "      shows the settings the plugin will use from a tarnwick.ini\n";

const char* Level_Name(Severity level) {
    switch (level) {
    case Severity::Error:
        return "error";
    case Severity::Warning:
        return "warning";
    case Severity::Note:
        break;
    }
    return "note";
}

std::string Padded(const std::string& text, size_t width) {
    return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

std::string Counted(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

int Check_Command(const std::string& path, bool has_section, const std::string& section,
                  std::ostream& out) {
    standin::IniDocument ini;
    std::string error;
    if (!Read_Settings_File(path, ini, error)) {
        out << "error: " << error << "\n";
        return 1;
    }
    const SettingsReport report = Check_Settings(ini, section);
    out << "settings file: " << path << "\n";
    if (!has_section)
        out << "override section: none given (--section NAME names the one the plugin host "
               "gives, e.g. the map's)\n";
    else
        out << "override section: [" << section << "]"
            << (report.Section_Found ? "" : " (not in the file)") << "\n";
    out << "\n";
    for (const EffectiveSetting& v : report.Values) {
        const std::string from =
            v.Source == ValueSource::Default
                ? std::string("default")
                : "[" +
                      (v.Source == ValueSource::General ? std::string("General") : report.Section) +
                      "], line " + std::to_string(v.Line);
        if (v.Key->Kind == KeyKind::Integer)
            out << "  " << Padded(v.Key->Name, 25) << Padded(v.Text, 12) << "from " << from << "\n";
        else
            out << "  " << Padded(v.Key->Name, 25) << Padded("text", 12) << "from " << from << ", "
                << Counted(v.Text.size(), "character", "characters") << "\n"
                << std::string(27, ' ') << "\"" << v.Text << "\"\n";
    }
    std::string off;
    for (const EffectiveSetting& v : report.Values)
        if (v.Key->Kind == KeyKind::Text && v.Text == Page_Off)
            off += (off.empty() ? "" : ", ") + std::string(v.Key->Name);
    out << "\npages switched off (-1): " << (off.empty() ? "none" : off) << "\n";
    for (const Finding& f : report.Findings)
        out << Level_Name(f.Level) << ": "
            << (f.Line ? path + ":" + std::to_string(f.Line) + ": " : "") << f.Text << "\n";
    const size_t errors = report.Count(Severity::Error);
    out << "result: " << Counted(errors, "error", "errors") << ", "
        << Counted(report.Count(Severity::Warning), "warning", "warnings") << "\n";
    return errors ? 1 : 0;
}

int Play_Command(const std::string& scenario_path, PluginSource& plugin,
                 const MatchOptions& options, bool json, std::ostream& out, std::ostream& err) {
    Scenario scenario;
    const std::vector<ScenarioError> errors = Read_Scenario(scenario_path, scenario);
    if (!errors.empty()) {
        for (const ScenarioError& e : errors)
            err << To_String(e.At) << ": " << e.Text << "\n";
        err << scenario_path << ": " << Counted(errors.size(), "error", "errors")
            << ": not played\n";
        return 2;
    }
    const MatchResult result = Play_Match(scenario, plugin, options, [&](const Event& event) {
        if (json)
            Print_Json(out, event);
        else
            Print_Text(event.Type == "error" ? err : out, event);
        out.flush();
    });
    return Exit_Code(result);
}

int Main(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        (args.empty() ? err : out) << Usage;
        return args.empty() ? 2 : 0;
    }
    const std::string command = args[0];
    if (command != "play" && command != "check") {
        err << "tarnwick-sim: unknown command '" << command << "'\n" << Usage;
        return 2;
    }
    std::string file, dll = Default_Dll_Path();
    MatchOptions options;
    bool json = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool takes_value = a == "--ini" || a == "--section" || a == "--dll";
        if (takes_value && i + 1 == args.size()) {
            err << "tarnwick-sim: " << a << " needs a value\n";
            return 2;
        }
        if (a == "--section") {
            options.Has_Section = true;
            options.Section = args[++i];
        } else if (a == "--ini" && command == "play") {
            options.Settings_File = args[++i];
        } else if (a == "--dll" && command == "play") {
            // The match runs in a working folder of its own: the path must not depend on
            // where the program was started.
            std::error_code ignored;
            dll = std::filesystem::absolute(args[++i], ignored).lexically_normal().string();
        } else if (a == "--json" && command == "play") {
            json = true;
        } else if (a.rfind("--", 0) != 0 && file.empty()) {
            file = a;
        } else {
            err << "tarnwick-sim: unexpected '" << a << "' for " << command << "\n" << Usage;
            return 2;
        }
    }
    if (file.empty()) {
        err << "tarnwick-sim: " << command << " needs a "
            << (command == "play" ? "scenario" : "settings file") << "\n"
            << Usage;
        return 2;
    }
    if (command == "check")
        return Check_Command(file, options.Has_Section, options.Section, out);
    std::unique_ptr<PluginSource> plugin = Dll_Source(dll);
    return Play_Command(file, *plugin, options, json, out, err);
}

} // namespace sim
