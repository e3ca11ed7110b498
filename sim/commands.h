// The simulator's two commands, as `tarnwick-sim` runs them.
#pragma once

#include "sim/match.h"
#include "sim/plugin_source.h"

#include <ostream>
#include <string>

namespace sim {

// `tarnwick-sim check FILE [--section NAME]`: the value the plugin will use for every key
// and where it comes from, and what is wrong or doubtful in the file. Returns 0 (warnings
// included), or 1 when the file has errors or cannot be read.
int Check_Command(const std::string& path, bool has_section, const std::string& section,
                  std::ostream& out);

// `tarnwick-sim play SCENARIO ...` on a plugin: the match's timeline. Returns Exit_Code of
// the match, or 2 for a scenario with errors (each reported with its file and line).
int Play_Command(const std::string& scenario_path, PluginSource& plugin,
                 const MatchOptions& options, bool json, std::ostream& out, std::ostream& err);

// The whole program: arguments as main receives them.
int Main(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

} // namespace sim
