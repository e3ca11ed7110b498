// The server's world as the stand-in lays it out: players and their records, soldiers,
// vehicles with seats, buildings and other objects, charges, observers and the object
// list, each byte for byte where the server keeps it, with hand-made thiscall tables.
//
// The layout numbers are written out here on their own, not taken from the plugin, so
// that a slip on either side shows up as a failing test rather than agreeing with itself.
#pragma once

#include "host/server_object.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class ScriptClass;

namespace standin {

// Where the server keeps what the plugin reads.
namespace layout {
constexpr int Slot_Physical_Part = 9;
constexpr int Slot_Vehicle = 10;
constexpr int Slot_Listed_Game_Object = 12;
constexpr int Slot_Team_Part = 15;
constexpr int Slot_Soldier_Part = 17;
constexpr int Slot_Charge_Part = 35;
constexpr int Slot_Observer_Name = 1;
constexpr int Table_Slots = 40;

constexpr size_t Game_Object_Observers = 1776;
constexpr size_t Game_Object_Observer_Count = 1784;
constexpr size_t Game_Object_Seats = 2480;
constexpr size_t Game_Object_Seat_Count = 2484;
constexpr size_t Game_Object_Size = 2496;
constexpr size_t Team_Part_Team = 1892;
constexpr size_t Team_Part_Size = 1896;
constexpr size_t Soldier_Part_Player = 2400;
constexpr size_t Soldier_Part_Size = 2404;
constexpr size_t Player_Record_Id = 1884;
constexpr size_t Player_Record_Team = 1900;
constexpr size_t Player_Record_Size = 1904;
constexpr size_t Charge_Part_Owner_Link = 1980;
constexpr size_t Charge_Part_Definition = 1992;
constexpr size_t Charge_Part_Carrier_Link = 2012;
constexpr size_t Charge_Part_Size = 2016;
constexpr size_t Definition_Kind = 140;
constexpr size_t Definition_Size = 144;
constexpr size_t Link_Target = 4;
constexpr size_t Link_Size = 8;
constexpr size_t List_Head_First = 4;
constexpr size_t List_Head_Size = 8;
constexpr size_t Node_Next = 0;
constexpr size_t Node_Object = 4;
} // namespace layout

// Bookkeeping of one game object; the raw blocks the plugin sees hang off it.
struct ObjectInfo {
    std::string Preset;
    bool Protected_Target = false;
    bool Alive = true;
    unsigned char* Object = nullptr;   // the game object
    unsigned char* Listed = nullptr;   // what the list node holds (slot 12 gives Object)
    unsigned char* Node = nullptr;     // its list node, null when not listed
    unsigned char* Physical = nullptr; // slot 9
    unsigned char* Team = nullptr;     // slot 15
    unsigned char* Soldier = nullptr;  // slot 17
    unsigned char* Charge = nullptr;   // slot 35 of the physical part
    unsigned char* Definition = nullptr;
    unsigned char* Owner_Link = nullptr;
    unsigned char* Carrier_Link = nullptr;
    bool Vehicle = false; // slot 10 non-null
    std::vector<ServerObject> Seats;
    std::vector<unsigned char*> Observers; // observer blocks, slot 1 gives the name
    std::vector<std::string> Observer_Names;
    std::vector<ScriptClass*> Scripts; // the plugin's scripts among the observers
    bool Destroyed = false;
};

// What the plugin asked of the server's script commands.
struct AttachRequest {
    ServerObject Object;
    std::string Name;
    std::string Parameters;
};
struct TimerStart {
    ServerObject Object;
    ScriptClass* Observer;
    float Seconds;
    int32_t Number;
};

// The script library the server creates scripts from (the plugin's Create_Script).
using Create_Script_Fn = ScriptClass* (*)(const char* name);

// A call the plugin made that the stand-in does not serve: which kind of block, which slot.
struct UnexpectedCall {
    std::string Where;
    int Slot;
};

class World {
  public:
    World();
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // The world that the server's routines and commands answer from.
    static World* Current();

    // A player record that Host_Find_Player finds for the id.
    void* Add_Player(PlayerId id, int32_t team);
    void* Player_Record(PlayerId id) const;

    // Host_Find_Player no longer finds the record (soldiers keep their link to it).
    void Forget_Player(PlayerId id);

    // A soldier of a team; with a player id, its soldier part links to that player's
    // record, made with the soldier's team when there is none yet.
    ServerObject Add_Soldier(int32_t team, PlayerId player = No_Player);
    ServerObject Add_Vehicle(int32_t team, int32_t seats, const std::string& preset = "");
    // A building or any other object that is neither soldier, vehicle nor charge.
    ServerObject Add_Object(int32_t team, const std::string& preset = "",
                            bool protected_target = false);
    // A charge of a kind, placed by `owner` (its owner link, null for none) and stuck to
    // `carrier` (its carrier link, null for none). The charge reads `team`.
    ServerObject Add_Charge(C4Kind kind, ServerObject owner, ServerObject carrier,
                            int32_t team = 0);

    void Seat(ServerObject vehicle, int index, ServerObject occupant);
    // Overwrites the seat count the server reports, for counts that disagree with the array.
    void Set_Seat_Count(ServerObject vehicle, int32_t count);
    void Add_Observer(ServerObject object, const std::string& name);
    void Set_Protected_Target(ServerObject object, bool yes);
    // The server no longer counts the object as live (it stays listed).
    void Kill(ServerObject object);
    // Takes the object out of the server's list (it stays live).
    void Unlist(ServerObject object);
    // A link record that names no object (owner or carrier).
    void Set_Owner_Link_Empty(ServerObject charge);
    void Set_Carrier_Link_Empty(ServerObject charge);
    void Set_Team(ServerObject object, int32_t team);
    // Removes the part a slot gives, so that slot answers null.
    void Drop_Team_Part(ServerObject object);

    ObjectInfo& Info(ServerObject object) const;
    bool Is_Live(const void* object) const;
    bool Is_Listed(ServerObject object) const;
    // The game objects in list order.
    std::vector<ServerObject> Listed_Objects() const;
    const void* List_Head() const { return list_head_; }

    // Where the current world keeps its list head: in the server image, at the address the
    // recognised build has for it, or (null) in a block of its own. The current world's
    // list moves there at once; a world made later takes the place over while it lives.
    static void Keep_List_Heads_At(void* storage);

    // What reached the server.
    std::vector<std::string> Console_Lines;
    std::vector<ServerObject> Removed_Charges;
    std::vector<UnexpectedCall> Unexpected_Calls;
    size_t Null_Existence_Queries = 0; // Cmd_Object_Exists asked about null
    size_t Existence_Queries = 0;
    size_t Member_Int_Reads = 0;
    size_t Slot_Calls = 0; // served virtual slots, any table

    // Called by the stand-in's Host_C4_Remove with the charge part. The charge is taken
    // off the list at once and destroyed at the end of the current clock step.
    void Remove_Charge_Part(const void* charge_part);

    // Scripts (standin/script_host.cpp). The server makes scripts through the library it
    // is given, binds them, notifies them, fires their timers and destroys them when
    // their object goes: it unbinds each script (slot 3), through which the script asks
    // for its destruction (the request-destroy function), and then destroys every script
    // that asked (slot 0 with its block).
    void Use_Script_Library(Create_Script_Fn create_script) { create_script_ = create_script; }
    // Cmd_Attach_Script: create, parse the parameters, bind, list, notify.
    void Attach_Script(ServerObject object, const char* name, const char* parameters);
    // Appends an observer the server already holds to the object's observer array.
    void Attach_Observer(ServerObject object, ScriptClass* observer);
    void Start_Timer(ServerObject object, ScriptClass* observer, float seconds, int32_t number);
    // Moves the clock on and fires, in due order, every timer that was due by then and
    // started before this step (a timer of 0 or fewer seconds fires at the next step);
    // then destroys removed charges and the scripts that asked for destruction.
    void Advance_Clock(double seconds);
    double Clock() const { return clock_; }
    // Called after each timer notification with the timer's object, so that what one
    // notification did can be told from what the next one in the same step does.
    std::function<void(ServerObject object)> After_Timer;
    size_t Pending_Timers() const { return timers_.size(); }
    void Request_Destroy(ScriptClass* script);
    void Destroy_Requested_Scripts();
    // Destroys the object with its scripts; it is no longer live or listed.
    void Destroy_Object(ServerObject object);
    // Destroys every object not yet destroyed (also done when the world goes).
    void Destroy_All_Objects();

    std::vector<AttachRequest> Attach_Requests;
    size_t Refused_Attaches = 0; // the library gave no script
    std::vector<TimerStart> Timer_Starts;
    std::vector<ScriptClass*> Destroy_Requests;
    std::vector<ScriptClass*> Destroyed_Scripts;

  private:
    unsigned char* New_Block(size_t size, const void* table, ObjectInfo* info);
    ObjectInfo* New_Object(int32_t team, const std::string& preset);
    void Append_To_List(ObjectInfo* info);
    unsigned char* New_Link(ServerObject target);
    void Refresh_Seats(ObjectInfo& info);
    void Refresh_Observers(ObjectInfo& info);
    void Move_List_Head(unsigned char* to);

    struct Timer {
        double Due;
        uint64_t Order; // start order, among timers due at the same time
        ServerObject Object;
        ScriptClass* Observer;
        int32_t Number;
    };
    void Drop_Timers(ServerObject object, ScriptClass* observer);
    void Detach_Script(ScriptClass* script);

    Create_Script_Fn create_script_ = nullptr;
    double clock_ = 0;
    uint64_t timer_order_ = 0;
    std::vector<Timer> timers_;
    std::deque<ScriptClass*> destroy_requested_;
    std::vector<ServerObject> to_destroy_; // removed charges

    std::vector<void*> blocks_;
    std::vector<ObjectInfo*> objects_;
    // The objects each script is attached to, so detaching it needs no search of them all.
    std::unordered_map<const ScriptClass*, std::vector<ObjectInfo*>> script_holders_;
    std::unordered_set<const void*> live_;
    std::vector<std::pair<PlayerId, unsigned char*>> players_; // known to Host_Find_Player
    unsigned char* own_list_head_ = nullptr;
    unsigned char* list_head_ = nullptr; // own_list_head_ or the server image's
    unsigned char* list_tail_ = nullptr;
    World* previous_ = nullptr;
};

// The stand-in's answers to the commands and routines the plugin calls.
int Object_Exists(ServerObject object);
void Attach_Script(ServerObject object, const char* name, const char* parameters);
void Start_Timer(ServerObject object, ScriptClass* observer, float seconds, int number);
// The server's request-destroy function, handed to the plugin.
void Request_Destroy(ScriptClass* script);
const char* Preset_Name(ServerObject object);
bool Is_Protected_Target(ServerObject object);

} // namespace standin
