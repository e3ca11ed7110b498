#include "rules/c4_counts.h"

#include "engine/game_objects.h"

namespace {

// One walk over the list: the player's live charges of the kind, each handed with its
// carrier to the count's own final test.
template <class FinalTest> int32_t Count_Charges(PlayerId player, C4Kind kind, FinalTest test) {
    const int32_t team = Player_Team(player);
    int32_t count = 0;
    for (const void* node = Object_List_First(); node; node = Object_List_Next(node)) {
        // The charge part is found once and the kind, owner and carrier read from it.
        ChargePart charge = Listed_Charge_Part(node);
        if (!charge || Charge_Part_Kind(charge) != kind)
            continue;
        if (Object_Player_Id(Charge_Part_Owner(charge)) != player)
            continue;
        if (test(Charge_Part_Carrier(charge), team))
            ++count;
    }
    return count;
}

} // namespace

int32_t Count_Vehicle_Charges(PlayerId player, C4Kind kind) {
    return Count_Charges(player, kind, [](ServerObject carrier, int32_t team) {
        if (Object_Team(carrier) == Opposing_Team(team))
            return false;
        return Object_Is_Vehicle(carrier) && Vehicle_Occupants(carrier) < 1;
    });
}

int32_t Count_Stacked_Charges(PlayerId player, C4Kind kind) {
    return Count_Charges(player, kind, [](ServerObject carrier, int32_t team) {
        return Object_Team(carrier) == team && Object_Is_Charge(carrier);
    });
}
