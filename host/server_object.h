// A game object of the server as the plugin receives it: a pointer to the server's
// object, whose first word is its table of virtual operations. The plugin never owns
// one and never looks inside it except through engine/.
#pragma once

struct ServerObjectData;
using ServerObject = ServerObjectData*;

using PlayerId = int;
constexpr PlayerId No_Player = -1;

// Kind number of a charge: 1 remote, 2 timed, 3 the kind without limits; 0 no charge.
using C4Kind = int;
constexpr C4Kind C4_None = 0;
constexpr C4Kind C4_Remote = 1;
constexpr C4Kind C4_Timed = 2;
constexpr C4Kind C4_Third = 3;
