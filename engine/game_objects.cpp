// The one place in the plugin that knows the layout of the server's objects: virtual
// slots by number and fields by byte offset. Fields are read with memcpy so that no
// alignment or aliasing assumption is made about memory that belongs to the server.
#include "engine/game_objects.h"

#include "engine/ascii.h"
#include "engine/commands.h"
#include "host/calling.h"
#include "host/host_addresses.h"

#include <cstring>

namespace {

// Virtual slots (each takes only the object and returns a pointer).
enum Slot : int {
    Slot_Physical_Part = 9,       // game object
    Slot_Vehicle = 10,            // game object: non-null for a vehicle
    Slot_Listed_Game_Object = 12, // object held by a list node
    Slot_Team_Part = 15,          // game object
    Slot_Soldier_Part = 17,       // game object
    Slot_Charge_Part = 35,        // physical part
    Slot_Observer_Name = 1,       // observer
};

// Byte offsets of the fields read directly.
enum Offset : size_t {
    Observers = 1776,           // game object: observer pointer array
    Observer_Count = 1784,      // game object: int32
    Team_Number = 1892,         // team part: int32
    Seats = 2480,               // vehicle: array of occupant pointers
    Seat_Count = 2484,          // vehicle: int32
    Soldier_Player = 2400,      // soldier part: player record
    Player_Record_Id = 1884,    // player record: PlayerId
    Player_Record_Team = 1900,  // player record: team, read through the accessor
    Charge_Owner_Link = 1980,   // charge part
    Charge_Definition = 1992,   // charge part: always present
    Charge_Carrier_Link = 2012, // charge part
    Definition_Kind = 140,      // charge definition: C4Kind, read through the accessor
    Link_Target = 4,            // owner or carrier link record
    List_First_Node = 4,        // list head
    Node_Next = 0,              // list node
    Node_Object = 4,            // list node
};

template <class T> T Field(const void* record, size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
    return value;
}

const void* Field_Address(const void* record, size_t offset) {
    return static_cast<const unsigned char*>(record) + offset;
}

using Slot_Fn = void*(THISCALL*)(const void* self);

void* Call_Slot(const void* object, int slot) {
    const void* const* table = Field<const void* const*>(object, 0);
    return Bit_Cast<Slot_Fn>(table[slot])(object);
}

// The charge part of an object already known to be live.
ChargePart Live_Charge_Part(ServerObject object) {
    const void* physical = Call_Slot(object, Slot_Physical_Part);
    if (!physical)
        return nullptr;
    return static_cast<ChargePart>(Call_Slot(physical, Slot_Charge_Part));
}

ServerObject Linked_Object(ChargePart part, size_t link_offset) {
    const void* link = Field<const void*>(part, link_offset);
    if (!link)
        return nullptr;
    return Field<ServerObject>(link, Link_Target);
}

} // namespace

bool Object_Is_Live(ServerObject object) {
    return Cmd_Object_Exists(object) != 0 && object != nullptr;
}

ChargePart Charge_Part_Of(ServerObject object) {
    return Object_Is_Live(object) ? Live_Charge_Part(object) : nullptr;
}

C4Kind Charge_Part_Kind(ChargePart part) {
    if (!part)
        return C4_None;
    const void* definition = Field<const void*>(part, Charge_Definition);
    return Forward_Get_Member_Int(Field_Address(definition, Definition_Kind));
}

ServerObject Charge_Part_Owner(ChargePart part) {
    return part ? Linked_Object(part, Charge_Owner_Link) : nullptr;
}

ServerObject Charge_Part_Carrier(ChargePart part) {
    return part ? Linked_Object(part, Charge_Carrier_Link) : nullptr;
}

bool Object_Is_Charge(ServerObject object) {
    return Charge_Part_Of(object) != nullptr;
}

ServerObject Charge_Owner(ServerObject charge) {
    return Charge_Part_Owner(Charge_Part_Of(charge));
}

ServerObject Charge_Carrier(ServerObject charge) {
    return Charge_Part_Carrier(Charge_Part_Of(charge));
}

C4Kind Charge_Kind(ServerObject charge) {
    return Charge_Part_Kind(Charge_Part_Of(charge));
}

void Charge_Remove(ServerObject charge) {
    if (ChargePart part = Charge_Part_Of(charge))
        Forward_C4_Remove(const_cast<ChargePartData*>(part));
}

PlayerId Object_Player_Id(ServerObject object) {
    if (!Object_Is_Live(object))
        return No_Player;
    const void* soldier = Call_Slot(object, Slot_Soldier_Part);
    if (!soldier)
        return No_Player;
    const void* player = Field<const void*>(soldier, Soldier_Player);
    if (!player)
        return No_Player;
    return Field<int32_t>(player, Player_Record_Id);
}

int32_t Object_Team(ServerObject object) {
    if (!Object_Is_Live(object))
        return 0;
    const void* team_part = Call_Slot(object, Slot_Team_Part);
    return team_part ? Field<int32_t>(team_part, Team_Number) : 0;
}

int32_t Player_Team(PlayerId player) {
    const void* record = Host_Find_Player(player);
    return record ? Forward_Get_Member_Int(Field_Address(record, Player_Record_Team)) : 0;
}

bool Object_Is_Vehicle(ServerObject object) {
    return Object_Is_Live(object) && Call_Slot(object, Slot_Vehicle) != nullptr;
}

int32_t Vehicle_Occupants(ServerObject vehicle) {
    if (!Object_Is_Vehicle(vehicle))
        return 0;
    const int32_t seats = Field<int32_t>(vehicle, Seat_Count);
    const unsigned char* seat = Field<const unsigned char*>(vehicle, Seats);
    if (seats <= 0 || !seat)
        return 0;
    int32_t occupied = 0;
    for (int32_t i = 0; i < seats; ++i)
        if (Field<const void*>(seat, static_cast<size_t>(i) * sizeof(void*)))
            ++occupied;
    return occupied;
}

ServerObject Vehicle_First_Occupant(ServerObject vehicle) {
    if (!Object_Is_Vehicle(vehicle) || Field<int32_t>(vehicle, Seat_Count) <= 0)
        return nullptr;
    const void* seat = Field<const void*>(vehicle, Seats);
    return seat ? Field<ServerObject>(seat, 0) : nullptr;
}

bool Object_Has_Watch_Script(ServerObject object) {
    if (!Object_Is_Live(object))
        return false;
    const int32_t count = Field<int32_t>(object, Observer_Count);
    const unsigned char* observers = Field<const unsigned char*>(object, Observers);
    if (count <= 0 || !observers)
        return false;
    for (int32_t i = 0; i < count; ++i) {
        const void* observer = Field<const void*>(observers, static_cast<size_t>(i) * 4);
        if (!observer)
            continue;
        const char* name = static_cast<const char*>(Call_Slot(observer, Slot_Observer_Name));
        if (name && Ascii_Equal_Ignoring_Case(name, Watch_Script_Name))
            return true;
    }
    return false;
}

void Console_Send_Line(const char* line) {
    if (std::strlen(line) <= Console_Line_Limit)
        Host_Console_Input(line);
}

int32_t Forward_Get_Member_Int(const void* field) {
    return Host_Get_Member_Int(field);
}

void Forward_C4_Remove(void* charge_part) {
    Host_C4_Remove(charge_part);
}

const void* Object_List_First() {
    return Field<const void*>(Host_Game_Object_List, List_First_Node);
}

const void* Object_List_Next(const void* node) {
    return Field<const void*>(node, Node_Next);
}

ServerObject Listed_Game_Object(const void* node) {
    ServerObject listed = Field<ServerObject>(node, Node_Object);
    if (Cmd_Object_Exists(listed) == 0 || !listed)
        return nullptr;
    ServerObject game_object =
        static_cast<ServerObject>(Call_Slot(listed, Slot_Listed_Game_Object));
    if (!game_object || Cmd_Object_Exists(game_object) == 0)
        return nullptr;
    return game_object;
}

ChargePart Listed_Charge_Part(const void* node) {
    ServerObject object = Listed_Game_Object(node);
    return object ? Live_Charge_Part(object) : nullptr;
}
