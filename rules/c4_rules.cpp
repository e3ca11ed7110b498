#include "rules/c4_rules.h"

#include "config/c4_rule_settings.h"
#include "engine/commands.h"
#include "engine/game_objects.h"
#include "rules/c4_counts.h"

#include <cstdio>
#include <cstring>

namespace {

const char* const Harvester_Presets[] = {"CnC_Nod_Harvester", "CnC_GDI_Harvester"};

bool Is_Own_Harvester(int32_t owner_team, ServerObject carrier) {
    if (owner_team != 0 && owner_team != 1)
        return false;
    const char* preset = Cmd_Preset_Name(carrier);
    return preset && std::strcmp(preset, Harvester_Presets[owner_team]) == 0;
}

// The page (when enabled) always comes before the removal, and a page that is not sent
// never prevents it.
void Remove_With_Page(ServerObject charge, bool page_enabled, const Text& message) {
    if (page_enabled)
        Page_Owner(charge, message);
    Charge_Remove(charge);
}

void General_Removal(ServerObject charge, const C4RuleSettings& s) {
    Remove_With_Page(charge, s.PPAGE_Message_Enabled, s.PPAGE_Message);
}

struct LimitRule {
    int32_t limit;
    bool page_enabled;
    const Text* message;
};

// The limit, page flag and page text for a kind of charge, on empty vehicles or stacked;
// false for kinds that have no limit.
bool Find_Limit(const C4RuleSettings& s, C4Kind kind, bool stacked, LimitRule& rule) {
    if (kind == C4_Remote)
        rule = stacked ? LimitRule{s.RemoteC4Stacked, s.RemoteC4Stacked_Message_Enabled,
                                   &s.RemoteC4Stacked_Message}
                       : LimitRule{s.RemoteC4Limit, s.RemoteC4Limit_Message_Enabled,
                                   &s.RemoteC4Limit_Message};
    else if (kind == C4_Timed)
        rule = stacked ? LimitRule{s.TimedC4Stacked, s.TimedC4Stacked_Message_Enabled,
                                   &s.TimedC4Stacked_Message}
                       : LimitRule{s.TimedC4Limit, s.TimedC4Limit_Message_Enabled,
                                   &s.TimedC4Limit_Message};
    else
        return false;
    return true;
}

// Removes the charge when the owner's count of its kind is greater than the limit; the
// count includes the charge itself.
void Apply_Limit(ServerObject charge, C4Kind kind, const C4RuleSettings& s, bool stacked) {
    LimitRule rule;
    if (!Find_Limit(s, kind, stacked, rule))
        return;
    const PlayerId owner = Object_Player_Id(Charge_Owner(charge));
    const int32_t count =
        stacked ? Count_Stacked_Charges(owner, kind) : Count_Vehicle_Charges(owner, kind);
    if (count > rule.limit)
        Remove_With_Page(charge, rule.page_enabled, *rule.message);
}

} // namespace

void Page_Owner(ServerObject charge, const Text& message) {
    const PlayerId owner = Object_Player_Id(Charge_Owner(charge));
    char prefix[24];
    const int prefix_length = std::snprintf(prefix, sizeof prefix, "ppage %d ", owner);
    // A line that would be longer than the console takes is never sent, so it need not
    // be composed; the message is copied as it is, a '%' in it stays a '%'.
    if (prefix_length < 0 ||
        static_cast<size_t>(prefix_length) + message.Length() > Console_Line_Limit)
        return;
    char line[Console_Line_Limit + 1];
    std::memcpy(line, prefix, static_cast<size_t>(prefix_length));
    std::memcpy(line + prefix_length, message.Chars(), message.Length());
    line[static_cast<size_t>(prefix_length) + message.Length()] = '\0';
    Console_Send_Line(line);
}

void Check_C4_Placement(ServerObject charge) {
    if (!Settings)
        return;
    const C4RuleSettings& s = *Settings;

    ServerObject carrier = Charge_Carrier(charge);
    const int32_t owner_team = Object_Team(Charge_Owner(charge));
    const int32_t first_seat_team = Object_Team(Vehicle_First_Occupant(carrier));
    const int32_t carrier_team = Object_Team(carrier);
    const int32_t opposing_team = Opposing_Team(owner_team);

    // A protected object of the owner's own team.
    if (owner_team == carrier_team && Cmd_Is_Protected_Target(carrier))
        return General_Removal(charge, s);

    // The owner's own harvester, by exact preset name, whatever team it reads.
    if (Is_Own_Harvester(owner_team, carrier))
        return General_Removal(charge, s);

    // An occupied vehicle whose first seat holds a member of the owner's team.
    const bool vehicle = carrier_team != opposing_team && Object_Is_Vehicle(carrier);
    if (vehicle && first_seat_team == owner_team && Vehicle_Occupants(carrier) > 0)
        return General_Removal(charge, s);

    // An empty vehicle that is not the opposing team's: the third kind always, the others
    // beyond their limit.
    if (vehicle && Vehicle_Occupants(carrier) < 1) {
        const C4Kind kind = Charge_Kind(charge);
        if (kind == C4_Third)
            return General_Removal(charge, s);
        return Apply_Limit(charge, kind, s, false);
    }

    // Stacked on another charge of the owner's team.
    if (owner_team == carrier_team && Object_Is_Charge(carrier))
        return Apply_Limit(charge, Charge_Kind(charge), s, true);
    // Anything else stays.
}
