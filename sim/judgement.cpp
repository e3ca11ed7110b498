#include "sim/judgement.h"

#include <algorithm>

namespace sim {

namespace {

constexpr char Nod_Harvester[] = "CnC_Nod_Harvester";
constexpr char Gdi_Harvester[] = "CnC_GDI_Harvester";

int32_t Opposing_Team(int32_t team) {
    return team == 0 ? 1 : 0;
}

const char* Kind_Name(C4Kind kind) {
    switch (kind) {
    case C4_Remote:
        return "remote";
    case C4_Timed:
        return "timed";
    case C4_Third:
        return "proximity";
    }
    return "unknown";
}

bool Is_Limit(Rule rule) {
    return rule == Rule::Remote_Limit || rule == Rule::Timed_Limit ||
           rule == Rule::Remote_Stacked || rule == Rule::Timed_Stacked;
}

std::string Quoted(const std::string& name) {
    return "'" + name + "'";
}

class Reader {
  public:
    Reader(const MatchWorld& world, const SettingsReport& settings)
        : world_(world), settings_(settings) {}

    Situation Of(const Thing& charge) const {
        Situation s;
        const ThingState* target = charge.Target.empty() ? nullptr : world_.Find(charge.Target);
        if (!target || !target->Live) {
            s.Why = charge.Target.empty()
                        ? "stuck to nothing"
                        : "its carrier " + Quoted(charge.Target) + " is gone: stuck to nothing";
            return s;
        }
        const Thing& carrier = *target->Definition;
        const int32_t owner_team = charge.Owner.empty() ? 0 : world_.Team_Of(charge.Owner);
        const int32_t carrier_team = carrier.Team;
        const bool vehicle = carrier.Kind == ThingKind::Vehicle;
        const int32_t occupants = Occupants(*target);
        const std::string on = "on " + Quoted(carrier.Name);

        if (owner_team == carrier_team && carrier.Protected) {
            s.Applies = Rule::Protected_Object;
            s.Why = on + ", a protected target of the owner's team";
        } else if ((owner_team == 0 && carrier.Preset == Nod_Harvester) ||
                   (owner_team == 1 && carrier.Preset == Gdi_Harvester)) {
            s.Applies = Rule::Own_Harvester;
            s.Why = on + ", the owner's team's harvester (" + carrier.Preset + ")";
        } else if (vehicle && occupants > 0 && First_Seat_Team(*target) == owner_team &&
                   carrier_team != Opposing_Team(owner_team)) {
            s.Applies = Rule::Occupied_Vehicle;
            const std::string first = target->Seats.empty() ? "" : target->Seats[0];
            s.Why = on + ", an occupied vehicle whose first seat " +
                    (first.empty() ? "is empty (which reads as team 0)"
                                   : "holds team-mate " + Quoted(first));
        } else if (vehicle && occupants < 1 && carrier_team != Opposing_Team(owner_team)) {
            s.Why = on + ", an empty vehicle not of the opposing team";
            if (charge.Kind_Of_Charge == C4_Third)
                s.Applies = Rule::Proximity_On_Vehicle;
            else if (charge.Kind_Of_Charge == C4_Remote || charge.Kind_Of_Charge == C4_Timed)
                Limit(s, charge, false);
        } else if (owner_team == carrier_team && carrier.Kind == ThingKind::Charge) {
            s.Why = on + ", a charge of the owner's team";
            if (charge.Kind_Of_Charge == C4_Remote || charge.Kind_Of_Charge == C4_Timed)
                Limit(s, charge, true);
            else
                s.Why += "; no stacking limit covers proximity charges";
        } else if (carrier_team == Opposing_Team(owner_team)) {
            s.Why = on + ", which is the opposing team's";
        } else if (vehicle) {
            s.Why = on + ", an occupied vehicle whose first seat holds no team-mate";
        } else {
            s.Why = on + ", which no rule covers";
        }
        return s;
    }

  private:
    static int32_t Occupants(const ThingState& thing) {
        return static_cast<int32_t>(std::count_if(thing.Seats.begin(), thing.Seats.end(),
                                                  [](const std::string& s) { return !s.empty(); }));
    }

    int32_t First_Seat_Team(const ThingState& vehicle) const {
        return vehicle.Seats.empty() ? 0 : world_.Team_Of(vehicle.Seats[0]);
    }

    // The team the server keeps for a player id: 0 when it has no such player.
    int32_t Player_Team(PlayerId id) const {
        for (const auto& entry : world_.Things) {
            const Thing& thing = *entry.second.Definition;
            if (thing.Kind == ThingKind::Player && thing.Id == id)
                return thing.Team;
        }
        return 0;
    }

    // The owner's charges of this kind that the limit counts, as the server's object
    // list holds them now: this charge included, removed ones not.
    void Limit(Situation& s, const Thing& charge, bool stacked) const {
        const bool remote = charge.Kind_Of_Charge == C4_Remote;
        s.Applies = stacked ? (remote ? Rule::Remote_Stacked : Rule::Timed_Stacked)
                            : (remote ? Rule::Remote_Limit : Rule::Timed_Limit);
        const PlayerId owner = world_.Owner_Id(charge);
        const int32_t team = Player_Team(owner);
        for (const auto& entry : world_.Things) {
            const ThingState& other = entry.second;
            const Thing& c = *other.Definition;
            if (!other.Live || c.Kind != ThingKind::Charge ||
                c.Kind_Of_Charge != charge.Kind_Of_Charge || world_.Owner_Id(c) != owner)
                continue;
            const ThingState* carrier = c.Target.empty() ? nullptr : world_.Find(c.Target);
            if (carrier && !carrier->Live)
                carrier = nullptr;
            const int32_t carrier_team = carrier ? carrier->Definition->Team : 0;
            const bool counts = stacked ? carrier_team == team && carrier &&
                                              carrier->Definition->Kind == ThingKind::Charge
                                        : carrier_team != Opposing_Team(team) && carrier &&
                                              carrier->Definition->Kind == ThingKind::Vehicle &&
                                              Occupants(*carrier) < 1;
            if (counts)
                ++s.Count;
        }
        s.Limit = settings_.Value(Rule_Name(s.Applies)).Number;
        s.Why += ": " + std::to_string(s.Count) + " " + Kind_Name(charge.Kind_Of_Charge) +
                 (s.Count == 1 ? " charge" : " charges") + " of " +
                 (charge.Owner.empty() ? std::string("nobody") : Quoted(charge.Owner)) +
                 (stacked ? " stacked on their team's charges" : " on such vehicles") + ", " +
                 Rule_Name(s.Applies) + " " + std::to_string(s.Limit);
    }

    const MatchWorld& world_;
    const SettingsReport& settings_;
};

// The keys whose text the page carries.
std::vector<std::string> Keys_Of_Page(const std::string& page, PlayerId owner_id,
                                      const SettingsReport& settings) {
    const std::string prefix = Page_Line(owner_id, "");
    const std::string text =
        page.compare(0, prefix.size(), prefix) == 0 ? page.substr(prefix.size()) : page;
    std::vector<std::string> keys;
    for (const EffectiveSetting& value : settings.Values)
        if (value.Key->Kind == KeyKind::Text && value.Text == text)
            keys.push_back(value.Key->Name);
    return keys;
}

std::string Joined(const std::vector<std::string>& keys) {
    std::string text;
    for (size_t i = 0; i < keys.size(); ++i)
        text += (i == 0 ? "" : i + 1 == keys.size() ? " and " : ", ") + keys[i];
    return text;
}

Rule Rule_Of_Key(const std::string& key) {
    for (Rule rule :
         {Rule::Remote_Limit, Rule::Timed_Limit, Rule::Remote_Stacked, Rule::Timed_Stacked})
        if (key == Message_Key(rule))
            return rule;
    return Rule::None;
}

} // namespace

const ThingState* MatchWorld::Find(const std::string& name) const {
    auto it = Things.find(name);
    return it == Things.end() ? nullptr : &it->second;
}

int32_t MatchWorld::Team_Of(const std::string& name) const {
    const ThingState* thing = Find(name);
    return thing ? thing->Definition->Team : 0;
}

PlayerId MatchWorld::Owner_Id(const Thing& charge) const {
    const ThingState* owner = charge.Owner.empty() ? nullptr : Find(charge.Owner);
    return owner ? owner->Definition->Id : No_Player;
}

Situation Situation_Of(const MatchWorld& world, const Thing& charge,
                       const SettingsReport& settings) {
    return Reader(world, settings).Of(charge);
}

const char* Message_Key(Rule rule) {
    switch (rule) {
    case Rule::None:
        return nullptr;
    case Rule::Remote_Limit:
        return "RemoteC4Limit_Message";
    case Rule::Timed_Limit:
        return "TimedC4Limit_Message";
    case Rule::Remote_Stacked:
        return "RemoteC4Stacked_Message";
    case Rule::Timed_Stacked:
        return "TimedC4Stacked_Message";
    default:
        return "PPAGE_Message";
    }
}

Verdict Judge(const Situation& situation, bool removed, const std::vector<std::string>& pages,
              PlayerId owner_id, const SettingsReport& settings) {
    Verdict v;
    v.Removed = removed;
    v.Reason = situation.Why;
    if (!removed) {
        if (situation.Applies != Rule::None && !Is_Limit(situation.Applies))
            v.How = std::string("the world suggests ") + Rule_Name(situation.Applies) +
                    ", yet the plugin kept it";
        return v;
    }
    v.By = situation.Applies;
    const char* world_key = Message_Key(situation.Applies);
    if (pages.empty()) {
        v.How = situation.Applies == Rule::None
                    ? "no rule of the world explains the removal, and no page was sent"
                    : "rule from the world (no page was sent)";
        if (world_key) {
            const std::string& text = settings.Value(world_key).Text;
            const size_t length = Page_Line(owner_id, text).size();
            if (text == Page_Off)
                v.Silence = std::string(world_key) + " is -1: its page is switched off";
            else if (length > Page_Line_Limit)
                v.Silence = "the page line would be " + std::to_string(length) +
                            " characters, more than the console's " +
                            std::to_string(Page_Line_Limit);
            else
                v.Silence = std::string("no page, although ") + world_key + " is set";
        }
        return v;
    }
    const std::vector<std::string> keys = Keys_Of_Page(pages.front(), owner_id, settings);
    const bool world_fits =
        world_key && std::find(keys.begin(), keys.end(), world_key) != keys.end();
    if (keys.empty()) {
        v.How = "rule from the world (the page text is none of the settings' texts)";
    } else if (world_fits && keys.size() == 1) {
        v.How = Rule_Of_Key(keys[0]) != Rule::None
                    ? "rule from the page text (" + keys[0] + ")"
                    : "rule from the page text (" + keys[0] + ") and the world";
    } else if (world_fits) {
        v.How = "rule from the world (the page text is that of " + Joined(keys) + ")";
    } else if (keys.size() == 1 && Rule_Of_Key(keys[0]) != Rule::None) {
        v.By = Rule_Of_Key(keys[0]);
        v.How = "rule from the page text (" + keys[0] + "); the world suggested " +
                Rule_Name(situation.Applies);
        v.Reason = "the page text is " + keys[0] + "'s";
    } else {
        v.How = "rule from the world; the page text is that of " + Joined(keys) +
                ", which does not fit it";
    }
    return v;
}

} // namespace sim
