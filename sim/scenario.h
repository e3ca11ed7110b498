// A match as an operator writes it down: a plain text file of one statement per line,
// naming players, vehicles, harvesters and other objects, the charges placed on them and
// when, and what the plugin is expected to do. README.md describes the syntax.
#pragma once

#include "host/server_object.h"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace sim {

// Where a statement stands, for messages ("file:line").
struct Place {
    std::string File;
    size_t Line = 0;
};
std::string To_String(const Place& place);

enum class ThingKind { Player, Vehicle, Object, Charge };

// Everything the scenario names.
struct Thing {
    ThingKind Kind = ThingKind::Object;
    std::string Name;
    Place Defined;
    int32_t Team = 0;
    PlayerId Id = No_Player; // players
    std::string Preset;      // vehicles and objects; empty for the server's default
    bool Protected = false;  // the server counts it as a protected target
    int32_t Seats = 0;       // vehicles
    bool Harvester = false;  // a vehicle declared as a harvester
    std::string Owner;       // charges: a player's name, empty for nobody
    C4Kind Kind_Of_Charge = C4_None;
    std::string Target; // charges: what it sticks to, empty for nothing
};

// The rules by which the plugin removes a charge, by the names scenarios use.
enum class Rule {
    None,
    Protected_Object,     // an object of the owner's team the server counts as protected
    Own_Harvester,        // the owner's team's harvester
    Occupied_Vehicle,     // an occupied vehicle whose first seat holds a team-mate
    Proximity_On_Vehicle, // the third kind on an empty vehicle not of the opposing team
    Remote_Limit,         // RemoteC4Limit
    Timed_Limit,          // TimedC4Limit
    Remote_Stacked,       // RemoteC4Stacked
    Timed_Stacked,        // TimedC4Stacked
};
const char* Rule_Name(Rule rule);
// The rule of a name (as Rule_Name gives it, any letter case); Rule::None for none.
Rule Rule_Named(const std::string& name);

enum class StepKind {
    Create, // a thing comes into the game (a charge: it is placed)
    Board,  // a player takes a seat
    Leave,  // a player leaves the vehicle
    Until,  // the clock runs on to a time
};

struct Step {
    StepKind Kind;
    Place At;
    std::string Name{};    // the thing created, the player boarding or leaving
    std::string Vehicle{}; // Board
    int32_t Seat = 0;      // Board: from 0 (the first seat)
    double Time = 0;       // Until: seconds since the start of the match
};

enum class ExpectKind {
    Removed,    // the charge was removed, by a rule if one is named
    Stays,      // the charge was judged and kept
    Page,       // the console received this line
    Page_Count, // the console received exactly this many page lines
};

struct Expectation {
    ExpectKind Kind;
    Place At;
    std::string Charge{};
    Rule By = Rule::None;
    std::string Line{};
    size_t Count = 0;
};

struct Scenario {
    std::string File;
    std::string Settings_File; // as written; relative to the scenario's folder
    Place Settings_At;
    bool Inline_Settings = false; // the scenario writes its settings file itself
    std::vector<std::string> Ini_Lines;
    bool Has_Section = false;
    std::string Section;
    std::vector<Thing> Things;
    std::vector<Step> Steps;
    std::vector<Expectation> Expectations;

    const Thing* Find(const std::string& name) const;
};

struct ScenarioError {
    Place At;
    std::string Text;
};

// Reads a scenario; every error found is reported (file and line), and the scenario is
// usable only when there is none.
std::vector<ScenarioError> Parse_Scenario(std::istream& in, const std::string& file,
                                          Scenario& scenario);
std::vector<ScenarioError> Read_Scenario(const std::string& path, Scenario& scenario);

} // namespace sim
