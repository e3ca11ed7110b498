// Small queries on the server's game objects. Each accepts a null or no longer live
// object and then gives a fixed missing value (null, 0, false, -1 for a player id), so
// the rules never test for errors.
#pragma once

#include "host/server_object.h"

#include <cstddef>
#include <cstdint>

// Live: the server says it exists and the pointer is not null (the server is asked first).
bool Object_Is_Live(ServerObject object);

bool Object_Is_Charge(ServerObject object);
ServerObject Charge_Owner(ServerObject charge);
ServerObject Charge_Carrier(ServerObject charge);
C4Kind Charge_Kind(ServerObject charge);
void Charge_Remove(ServerObject charge);
PlayerId Object_Player_Id(ServerObject object);
int32_t Object_Team(ServerObject object);
int32_t Player_Team(PlayerId player);
bool Object_Is_Vehicle(ServerObject object);
int32_t Vehicle_Occupants(ServerObject vehicle);
ServerObject Vehicle_First_Occupant(ServerObject vehicle);
// The name the watch script is registered, attached and found under.
constexpr char Watch_Script_Name[] = "Brask_Tarnwick";
bool Object_Has_Watch_Script(ServerObject object);

// A charge's own part, found once, so that a walk over the object list reads a charge's
// kind, owner and carrier without asking the server for the part again for each of them.
// A null part gives the missing values of the queries above.
struct ChargePartData;
using ChargePart = const ChargePartData*;
// The charge part of a live object; null when the object is not live or is no charge.
ChargePart Charge_Part_Of(ServerObject object);
C4Kind Charge_Part_Kind(ChargePart part);
ServerObject Charge_Part_Owner(ChargePart part);
ServerObject Charge_Part_Carrier(ChargePart part);

// Sends one console command line; a line longer than 255 characters is dropped.
void Console_Send_Line(const char* line);
constexpr size_t Console_Line_Limit = 255;

// Forwarders to the bound member routines of the server.
int32_t Forward_Get_Member_Int(const void* field);
void Forward_C4_Remove(void* charge_part);

// The server's object list, walked in place: first node, next node, and the game object
// a node stands for (null when the listed object or its game object is not live).
const void* Object_List_First();
const void* Object_List_Next(const void* node);
ServerObject Listed_Game_Object(const void* node);
// The charge part of the game object a node stands for: null when Listed_Game_Object
// gives null or that object is no charge. The object's live test is made once, for both.
ChargePart Listed_Charge_Part(const void* node);
