// The plugin's view of the server's world: every query against objects laid out by the
// stand-in, including the missing values for null, dead and half-built objects.
#include "engine/game_objects.h"

#include "host/host_addresses.h"
#include "standin_test.h"

#include <cstring>
#include <string>

namespace {

using GameObjects = StandinTest;

template <class T> T Raw(const void* record, size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
    return value;
}

TEST_F(GameObjects, every_query_gives_its_missing_value_for_null_and_asks_the_server_first) {
    EXPECT_FALSE(Object_Is_Charge(nullptr));
    EXPECT_EQ(Charge_Owner(nullptr), nullptr);
    EXPECT_EQ(Charge_Carrier(nullptr), nullptr);
    EXPECT_EQ(Charge_Kind(nullptr), C4_None);
    Charge_Remove(nullptr);
    EXPECT_EQ(Object_Player_Id(nullptr), No_Player);
    EXPECT_EQ(Object_Team(nullptr), 0);
    EXPECT_FALSE(Object_Is_Vehicle(nullptr));
    EXPECT_EQ(Vehicle_Occupants(nullptr), 0);
    EXPECT_EQ(Vehicle_First_Occupant(nullptr), nullptr);
    EXPECT_FALSE(Object_Has_Watch_Script(nullptr));
    // One existence question per query (Vehicle_Occupants asks once through
    // Object_Is_Vehicle), each about null.
    EXPECT_EQ(world().Null_Existence_Queries, 11u);
    EXPECT_TRUE(world().Removed_Charges.empty());
}

TEST_F(GameObjects, a_dead_object_answers_like_no_object) {
    ServerObject vehicle = world().Add_Vehicle(1, 2);
    ServerObject soldier = world().Add_Soldier(1, 7);
    world().Seat(vehicle, 0, soldier);
    ServerObject charge = world().Add_Charge(C4_Remote, soldier, vehicle, 1);
    world().Add_Observer(charge, "Brask_Tarnwick");
    for (ServerObject dead : {vehicle, soldier, charge})
        world().Kill(dead);

    EXPECT_FALSE(Object_Is_Charge(charge));
    EXPECT_EQ(Charge_Kind(charge), C4_None);
    EXPECT_EQ(Charge_Carrier(charge), nullptr);
    EXPECT_EQ(Object_Player_Id(soldier), No_Player);
    EXPECT_EQ(Object_Team(vehicle), 0);
    EXPECT_FALSE(Object_Is_Vehicle(vehicle));
    EXPECT_EQ(Vehicle_Occupants(vehicle), 0);
    EXPECT_FALSE(Object_Has_Watch_Script(charge));
    Charge_Remove(charge);
    EXPECT_TRUE(world().Removed_Charges.empty());
}

TEST_F(GameObjects, a_charge_gives_its_owner_carrier_kind_and_player) {
    ServerObject owner = world().Add_Soldier(1, 5);
    ServerObject wall = world().Add_Object(0, "Wall");
    for (C4Kind kind : {C4_Remote, C4_Timed, C4_Third}) {
        SCOPED_TRACE(kind);
        ServerObject charge = world().Add_Charge(kind, owner, wall, 1);
        EXPECT_TRUE(Object_Is_Charge(charge));
        EXPECT_EQ(Charge_Kind(charge), kind);
        EXPECT_EQ(Charge_Owner(charge), owner);
        EXPECT_EQ(Charge_Carrier(charge), wall);
        EXPECT_EQ(Object_Player_Id(Charge_Owner(charge)), 5);
        EXPECT_EQ(Object_Team(charge), 1);
        EXPECT_EQ(Object_Team(Charge_Carrier(charge)), 0);
    }
    // The kind comes through the server's accessor, never read directly.
    EXPECT_EQ(world().Member_Int_Reads, 3u);
}

TEST_F(GameObjects, links_that_name_nothing_read_as_no_object) {
    ServerObject charge = world().Add_Charge(C4_Timed, nullptr, nullptr);
    EXPECT_EQ(Charge_Owner(charge), nullptr);
    EXPECT_EQ(Charge_Carrier(charge), nullptr);
    world().Set_Owner_Link_Empty(charge);
    world().Set_Carrier_Link_Empty(charge);
    EXPECT_EQ(Charge_Owner(charge), nullptr);
    EXPECT_EQ(Charge_Carrier(charge), nullptr);
    EXPECT_EQ(Object_Player_Id(Charge_Owner(charge)), No_Player);
}

TEST_F(GameObjects, objects_that_are_no_charge) {
    ServerObject soldier = world().Add_Soldier(0, 3);
    ServerObject vehicle = world().Add_Vehicle(0, 1);
    ServerObject building = world().Add_Object(1, "CnC_GDI_Refinery");
    for (ServerObject object : {soldier, vehicle, building}) {
        EXPECT_FALSE(Object_Is_Charge(object));
        EXPECT_EQ(Charge_Kind(object), C4_None);
        EXPECT_EQ(Charge_Owner(object), nullptr);
        Charge_Remove(object);
    }
    EXPECT_TRUE(world().Removed_Charges.empty());
}

TEST_F(GameObjects, player_ids_come_from_the_soldier_part_and_teams_from_the_team_part) {
    ServerObject player = world().Add_Soldier(1, 12);
    ServerObject no_player = world().Add_Soldier(0);
    ServerObject building = world().Add_Object(1);
    EXPECT_EQ(Object_Player_Id(player), 12);
    EXPECT_EQ(Object_Player_Id(no_player), No_Player);
    EXPECT_EQ(Object_Player_Id(building), No_Player); // no soldier part
    EXPECT_EQ(Object_Team(player), 1);
    world().Set_Team(building, 7);
    EXPECT_EQ(Object_Team(building), 7);
    world().Drop_Team_Part(building);
    EXPECT_EQ(Object_Team(building), 0);
}

TEST_F(GameObjects, player_team_comes_from_the_servers_player_record) {
    world().Add_Player(4, 1);
    world().Add_Player(9, -3);
    EXPECT_EQ(Player_Team(4), 1);
    EXPECT_EQ(Player_Team(9), -3);
    EXPECT_EQ(Player_Team(5), 0); // no record
    EXPECT_EQ(Player_Team(No_Player), 0);
    EXPECT_EQ(world().Member_Int_Reads, 2u);
}

TEST_F(GameObjects, seats_and_occupants) {
    ServerObject driver = world().Add_Soldier(0, 1);
    ServerObject gunner = world().Add_Soldier(0, 2);
    struct Case {
        const char* name;
        int32_t seats;
        ServerObject seat0, seat1;
        int32_t occupants;
        ServerObject first;
    } cases[] = {
        {"no seats", 0, nullptr, nullptr, 0, nullptr},
        {"empty", 2, nullptr, nullptr, 0, nullptr},
        {"driver", 2, driver, nullptr, 1, driver},
        {"first seat empty, second taken", 2, nullptr, gunner, 1, nullptr},
        {"both taken", 2, driver, gunner, 2, driver},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ServerObject vehicle = world().Add_Vehicle(0, c.seats);
        if (c.seats > 0) {
            world().Seat(vehicle, 0, c.seat0);
            world().Seat(vehicle, 1, c.seat1);
        }
        EXPECT_TRUE(Object_Is_Vehicle(vehicle));
        EXPECT_EQ(Vehicle_Occupants(vehicle), c.occupants);
        EXPECT_EQ(Vehicle_First_Occupant(vehicle), c.first);
    }
}

TEST_F(GameObjects, a_negative_seat_count_reads_as_no_seats) {
    ServerObject driver = world().Add_Soldier(0, 1);
    ServerObject vehicle = world().Add_Vehicle(0, 1);
    world().Seat(vehicle, 0, driver);
    world().Set_Seat_Count(vehicle, -1);
    EXPECT_EQ(Vehicle_Occupants(vehicle), 0);
    EXPECT_EQ(Vehicle_First_Occupant(vehicle), nullptr);
}

TEST_F(GameObjects, an_object_that_is_no_vehicle_has_no_occupants) {
    ServerObject building = world().Add_Object(0, "CnC_Nod_Airstrip");
    EXPECT_FALSE(Object_Is_Vehicle(building));
    EXPECT_EQ(Vehicle_Occupants(building), 0);
    EXPECT_EQ(Vehicle_First_Occupant(building), nullptr);
}

TEST_F(GameObjects, the_watch_script_is_found_by_name_in_any_letter_case) {
    struct Case {
        std::vector<std::string> observers;
        bool found;
    } cases[] = {
        {{}, false},
        {{"Brask_Tarnwick"}, true},
        {{"BRASK_TARNWICK"}, true},
        {{"Other", "brask_tarnwick"}, true},
        {{"Brask_Tarnwic"}, false},
        {{"Brask_Tarnwick2"}, false},
        {{"M00_Damage_Modifier"}, false},
    };
    for (const Case& c : cases) {
        ServerObject charge = world().Add_Charge(C4_Remote, nullptr, nullptr);
        std::string trace;
        for (const std::string& name : c.observers) {
            world().Add_Observer(charge, name);
            trace += name + ",";
        }
        SCOPED_TRACE(trace);
        EXPECT_EQ(Object_Has_Watch_Script(charge), c.found);
    }
}

TEST_F(GameObjects, a_console_line_is_sent_only_up_to_255_characters) {
    const std::string line255(255, 'x'), line256(256, 'y');
    Console_Send_Line("");
    Console_Send_Line(line255.c_str());
    Console_Send_Line(line256.c_str());
    ASSERT_EQ(world().Console_Lines.size(), 2u);
    EXPECT_EQ(world().Console_Lines[0], "");
    EXPECT_EQ(world().Console_Lines[1], line255);
}

TEST_F(GameObjects, removal_hands_the_charge_part_to_the_server) {
    ServerObject charge = world().Add_Charge(C4_Remote, nullptr, nullptr);
    ServerObject other = world().Add_Charge(C4_Remote, nullptr, nullptr);
    Charge_Remove(charge);
    ASSERT_EQ(world().Removed_Charges.size(), 1u);
    EXPECT_EQ(world().Removed_Charges[0], charge);
    EXPECT_FALSE(world().Is_Listed(charge));
    EXPECT_TRUE(world().Is_Listed(other));
}

TEST_F(GameObjects, the_list_walk_skips_what_is_not_live) {
    ServerObject a = world().Add_Object(0, "A");
    ServerObject b = world().Add_Object(0, "B");
    ServerObject c = world().Add_Object(0, "C");
    world().Kill(b);
    std::vector<ServerObject> seen;
    for (const void* node = Object_List_First(); node; node = Object_List_Next(node))
        if (ServerObject object = Listed_Game_Object(node))
            seen.push_back(object);
    EXPECT_EQ(seen, (std::vector<ServerObject>{a, c}));
}

TEST_F(GameObjects, a_listed_charge_part_answers_as_the_queries_on_its_game_object_do) {
    ServerObject owner = world().Add_Soldier(1, 4);
    ServerObject vehicle = world().Add_Vehicle(1, 2);
    ServerObject charge = world().Add_Charge(C4_Timed, owner, vehicle, 1);
    ServerObject dead_charge = world().Add_Charge(C4_Remote, owner, nullptr);
    world().Kill(dead_charge);
    ServerObject bare_charge = world().Add_Charge(C4_Third, nullptr, nullptr);

    std::vector<ServerObject> charges;
    for (const void* node = Object_List_First(); node; node = Object_List_Next(node)) {
        ChargePart part = Listed_Charge_Part(node);
        ServerObject object = Listed_Game_Object(node);
        EXPECT_EQ(part != nullptr, Object_Is_Charge(object));
        if (!part)
            continue;
        charges.push_back(object);
        EXPECT_EQ(part, Charge_Part_Of(object));
        EXPECT_EQ(Charge_Part_Kind(part), Charge_Kind(object));
        EXPECT_EQ(Charge_Part_Owner(part), Charge_Owner(object));
        EXPECT_EQ(Charge_Part_Carrier(part), Charge_Carrier(object));
    }
    EXPECT_EQ(charges, (std::vector<ServerObject>{charge, bare_charge}));
    EXPECT_EQ(Charge_Part_Kind(nullptr), C4_None);
    EXPECT_EQ(Charge_Part_Owner(nullptr), nullptr);
    EXPECT_EQ(Charge_Part_Carrier(nullptr), nullptr);
}

TEST_F(GameObjects, an_empty_list_has_no_first_node) {
    EXPECT_EQ(Object_List_First(), nullptr);
}

// The stand-in's objects sit byte for byte where the server keeps them: fields the
// plugin never reads are found through raw offsets where the stand-in put them.
TEST_F(GameObjects, the_stand_in_lays_objects_out_as_the_server_does) {
    ServerObject owner = world().Add_Soldier(1, 21);
    ServerObject vehicle = world().Add_Vehicle(1, 3);
    world().Seat(vehicle, 2, owner);
    ServerObject charge = world().Add_Charge(C4_Timed, owner, vehicle, 1);

    using Slot = void*(THISCALL*)(const void*);
    auto slot = [](const void* object, int n) {
        const void* const* table = Raw<const void* const*>(object, 0);
        return Bit_Cast<Slot>(table[n])(object);
    };
    const void* physical = slot(charge, 9);
    const void* charge_part = slot(physical, 35);
    const void* definition = Raw<const void*>(charge_part, 1992);
    EXPECT_EQ(Raw<int32_t>(definition, 140), C4_Timed);
    EXPECT_EQ(Raw<ServerObject>(Raw<const void*>(charge_part, 2012), 4), vehicle);
    EXPECT_EQ(Raw<int32_t>(vehicle, 2484), 3);
    EXPECT_EQ(Raw<ServerObject>(Raw<const void*>(vehicle, 2480), 8), owner);
    const void* soldier_part = slot(owner, 17);
    const void* record = Raw<const void*>(soldier_part, 2400);
    EXPECT_EQ(Raw<int32_t>(record, 1900), 1); // the team, which the plugin reads only by accessor
    EXPECT_EQ(record, Host_Find_Player(21));
    EXPECT_EQ(Raw<int32_t>(slot(owner, 15), 1892), 1);
}

} // namespace
