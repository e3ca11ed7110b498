// How many charges of one kind a player has in a given situation, counted afresh over the
// server's whole object list (the charge under examination included).
#pragma once

#include "host/server_object.h"

#include <cstdint>

// 0 and 1 are the two opposing teams; every other team number opposes team 0.
inline int32_t Opposing_Team(int32_t team) {
    return team == 0 ? 1 : 0;
}

// The player's charges of a kind on empty vehicles that are not the opposing team's.
int32_t Count_Vehicle_Charges(PlayerId player, C4Kind kind);
// The player's charges of a kind stuck on a charge of the player's own team.
int32_t Count_Stacked_Charges(PlayerId player, C4Kind kind);
