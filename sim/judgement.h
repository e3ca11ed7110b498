// Telling which rule the plugin applied to a charge. The plugin says only "removed" (and
// pages); the simulator names the rule from two sources: the page text, when it is the
// text of exactly one settings key, and the world as the scenario built it, read the way
// the rules read it (teams, seats, presets, the server's protected-target answer, the
// owner's other charges). Where the text names a limit key, that settles it; where it is
// the general text (PPAGE_Message, shared by four rules) or no page was sent, the world
// tells which rule fits.
#pragma once

#include "sim/scenario.h"
#include "sim/settings_check.h"

#include <map>
#include <string>
#include <vector>

namespace sim {

// The world as the simulator keeps track of it during a match.
struct ThingState {
    const Thing* Definition = nullptr;
    bool Live = false;              // created and not removed
    std::vector<std::string> Seats; // vehicles: who sits where ("" for an empty seat)
};

struct MatchWorld {
    std::map<std::string, ThingState> Things;

    const ThingState* Find(const std::string& name) const;
    // The thing's team as the server reads it; 0 for nothing.
    int32_t Team_Of(const std::string& name) const;
    // The player id of a charge's owner; -1 for nobody.
    PlayerId Owner_Id(const Thing& charge) const;
};

// Which rule the world says applies to a charge, with the counts behind a limit.
struct Situation {
    Rule Applies = Rule::None; // none: no rule can remove the charge
    std::string Why;           // readable: what the charge sits on, and the count
    int32_t Count = 0;         // limits: the owner's charges that count, this one included
    int32_t Limit = 0;
};
Situation Situation_Of(const MatchWorld& world, const Thing& charge,
                       const SettingsReport& settings);

// The settings key whose text pages a rule's removal.
const char* Message_Key(Rule rule);

struct Verdict {
    bool Removed = false;
    Rule By = Rule::None;
    std::string Reason;  // why it stays, or what it was removed for
    std::string How;     // how the rule was told
    std::string Silence; // why no page was sent, when none was
};

// The verdict on a charge the plugin judged: `removed` and `pages` are what the plugin
// did (the page lines the console received during the judgement).
Verdict Judge(const Situation& situation, bool removed, const std::vector<std::string>& pages,
              PlayerId owner_id, const SettingsReport& settings);

} // namespace sim
