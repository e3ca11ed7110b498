// One match played on the plugin as the server and its plugin host drive it: the plugin
// loaded, described to SSGM and started with the stand-in's command table; the world of
// the scenario built object by object (each new object handed to every hook the plugin
// registered with bhs.dll); the stand-in's clock run on so the plugin's timers fire; the
// plugin unloaded at the end. What happens is reported event by event as it happens.
#pragma once

#include "sim/plugin_source.h"
#include "sim/scenario.h"
#include "sim/timeline.h"

#include <functional>
#include <string>

namespace sim {

struct MatchOptions {
    std::string Settings_File; // replaces the scenario's settings when not empty
    bool Has_Section = false;  // replaces the scenario's override section
    std::string Section;
};

struct MatchResult {
    bool Played = false; // the plugin was loaded and started
    std::string Error;   // why not
    size_t Expectations = 0;
    size_t Failed_Expectations = 0;
    size_t Health_Problems = 0; // what the plugin left behind or called wrongly
};

using Event_Sink = std::function<void(const Event& event)>;

MatchResult Play_Match(const Scenario& scenario, PluginSource& plugin, const MatchOptions& options,
                       const Event_Sink& report);

// The exit code of `tarnwick-sim play` for a result: 0 when everything held, 1 when an
// expectation failed or the plugin misbehaved, 2 when the match could not be played.
int Exit_Code(const MatchResult& result);

} // namespace sim
