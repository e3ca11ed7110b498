#include "standin/world.h"

#include "host/calling.h"
#include "standin/script_slots.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace standin {
namespace {

World* current_world = nullptr;
unsigned char* list_head_storage = nullptr; // where the current world's list head lives

// Every block the world hands out is preceded by this header, which the plugin never
// reads (it only reads at positive offsets from an object's start).
struct BlockHeader {
    ObjectInfo* Info;
    uint32_t Magic;
};
constexpr uint32_t Block_Magic = 0x57524c44;

ObjectInfo* Info_Of(const void* raw) {
    const BlockHeader* header = static_cast<const BlockHeader*>(raw) - 1;
    return header->Info;
}

template <class T> void Put(unsigned char* record, size_t offset, T value) {
    std::memcpy(record + offset, &value, sizeof value);
}

// Tables of virtual operations. Slots the stand-in does not serve record the call and
// answer null, so a wrong slot number shows up in a test instead of crashing it.
enum TableKind { Game_Object_Table, Physical_Table, Listed_Table, Observer_Table, Part_Table };
const char* const Table_Names[] = {"game object", "physical part", "listed object", "observer",
                                   "part"};

template <int Kind, int Slot> void* THISCALL Unexpected_Slot(const void*) {
    if (current_world)
        current_world->Unexpected_Calls.push_back({Table_Names[Kind], Slot});
    return nullptr;
}

// Every slot the stand-in serves is counted, so a benchmark can tell what a judgement
// asks of the server per listed object.
void Note_Slot_Call() {
    if (current_world)
        ++current_world->Slot_Calls;
}

void* THISCALL Game_Object_Physical(const void* self) {
    Note_Slot_Call();
    return Info_Of(self)->Physical;
}
void* THISCALL Game_Object_Vehicle(const void* self) {
    Note_Slot_Call();
    return Info_Of(self)->Vehicle ? const_cast<void*>(self) : nullptr;
}
void* THISCALL Game_Object_Team(const void* self) {
    Note_Slot_Call();
    return Info_Of(self)->Team;
}
void* THISCALL Game_Object_Soldier(const void* self) {
    Note_Slot_Call();
    return Info_Of(self)->Soldier;
}
void* THISCALL Physical_Charge(const void* self) {
    Note_Slot_Call();
    return Info_Of(self)->Charge;
}
void* THISCALL Listed_Game_Object(const void* self) {
    Note_Slot_Call();
    return Info_Of(self)->Object;
}
// An observer block holds its name in place after the table word and a spare word.
void* THISCALL Observer_Name(const void* self) {
    Note_Slot_Call();
    return const_cast<unsigned char*>(static_cast<const unsigned char*>(self) + 8);
}

using Slot_Fn = void*(THISCALL*)(const void*);

template <int Kind, size_t... Slots>
std::vector<const void*> Trap_Table(std::index_sequence<Slots...>) {
    return {Bit_Cast<const void*>(static_cast<Slot_Fn>(&Unexpected_Slot<Kind, Slots>))...};
}

template <int Kind> const void* Table(std::initializer_list<std::pair<int, Slot_Fn>> served) {
    static std::vector<const void*> table = [&] {
        auto t = Trap_Table<Kind>(std::make_index_sequence<layout::Table_Slots>());
        for (auto& slot : served)
            t[slot.first] = Bit_Cast<const void*>(slot.second);
        return t;
    }();
    return table.data();
}

const void* Table_For(TableKind kind) {
    using namespace layout;
    switch (kind) {
    case Game_Object_Table:
        return Table<Game_Object_Table>({{Slot_Physical_Part, &Game_Object_Physical},
                                         {Slot_Vehicle, &Game_Object_Vehicle},
                                         {Slot_Team_Part, &Game_Object_Team},
                                         {Slot_Soldier_Part, &Game_Object_Soldier}});
    case Physical_Table:
        return Table<Physical_Table>({{Slot_Charge_Part, &Physical_Charge}});
    case Listed_Table:
        return Table<Listed_Table>({{Slot_Listed_Game_Object, &Listed_Game_Object}});
    case Observer_Table:
        return Table<Observer_Table>({{Slot_Observer_Name, &Observer_Name}});
    case Part_Table:
        return Table<Part_Table>({});
    }
    return nullptr;
}

} // namespace

World::World() : previous_(current_world) {
    own_list_head_ = New_Block(layout::List_Head_Size, nullptr, nullptr);
    list_head_ = own_list_head_;
    if (previous_)
        previous_->Move_List_Head(previous_->own_list_head_);
    current_world = this;
    if (list_head_storage)
        Move_List_Head(list_head_storage);
}

World::~World() {
    // The scripts still attached go the server's way; their requests to be destroyed
    // must reach this world, so it is the current one meanwhile.
    World* const current = current_world;
    current_world = this;
    Destroy_All_Objects();
    current_world = current;
    if (current_world == this) {
        current_world = previous_;
        if (previous_ && list_head_storage)
            previous_->Move_List_Head(list_head_storage);
    }
    for (void* block : blocks_)
        std::free(block);
    for (ObjectInfo* info : objects_)
        delete info;
}

World* World::Current() {
    return current_world;
}

void World::Keep_List_Heads_At(void* storage) {
    list_head_storage = static_cast<unsigned char*>(storage);
    if (current_world)
        current_world->Move_List_Head(list_head_storage ? list_head_storage
                                                        : current_world->own_list_head_);
}

void World::Move_List_Head(unsigned char* to) {
    if (to == list_head_)
        return;
    std::memcpy(to, list_head_, layout::List_Head_Size);
    list_head_ = to;
}

unsigned char* World::New_Block(size_t size, const void* table, ObjectInfo* info) {
    auto* base = static_cast<unsigned char*>(std::calloc(1, sizeof(BlockHeader) + size));
    if (!base)
        throw std::bad_alloc();
    blocks_.push_back(base);
    BlockHeader header{info, Block_Magic};
    std::memcpy(base, &header, sizeof header);
    unsigned char* raw = base + sizeof(BlockHeader);
    if (table)
        Put(raw, 0, table);
    return raw;
}

ObjectInfo* World::New_Object(int32_t team, const std::string& preset) {
    auto* info = new ObjectInfo;
    objects_.push_back(info);
    info->Preset = preset;
    info->Object = New_Block(layout::Game_Object_Size, Table_For(Game_Object_Table), info);
    info->Listed = New_Block(8, Table_For(Listed_Table), info);
    info->Team = New_Block(layout::Team_Part_Size, Table_For(Part_Table), info);
    Put(info->Team, layout::Team_Part_Team, team);
    info->Physical = New_Block(8, Table_For(Physical_Table), info);
    live_.insert(info->Object);
    live_.insert(info->Listed);
    Append_To_List(info);
    return info;
}

void World::Append_To_List(ObjectInfo* info) {
    info->Node = New_Block(8, nullptr, info);
    Put(info->Node, layout::Node_Object, info->Listed);
    if (list_tail_)
        Put(list_tail_, layout::Node_Next, info->Node);
    else
        Put(list_head_, layout::List_Head_First, info->Node);
    list_tail_ = info->Node;
}

unsigned char* World::New_Link(ServerObject target) {
    unsigned char* link = New_Block(layout::Link_Size, nullptr, nullptr);
    Put(link, layout::Link_Target, target);
    return link;
}

void* World::Add_Player(PlayerId id, int32_t team) {
    unsigned char* record = New_Block(layout::Player_Record_Size, Table_For(Part_Table), nullptr);
    Put(record, layout::Player_Record_Id, id);
    Put(record, layout::Player_Record_Team, team);
    players_.push_back({id, record});
    return record;
}

void* World::Player_Record(PlayerId id) const {
    for (auto& player : players_)
        if (player.first == id)
            return player.second;
    return nullptr;
}

void World::Forget_Player(PlayerId id) {
    for (auto it = players_.begin(); it != players_.end(); ++it)
        if (it->first == id) {
            players_.erase(it);
            return;
        }
}

ServerObject World::Add_Soldier(int32_t team, PlayerId player) {
    ObjectInfo* info = New_Object(team, "CnC_Soldier");
    info->Soldier = New_Block(layout::Soldier_Part_Size, Table_For(Part_Table), info);
    if (player != No_Player) {
        void* record = Player_Record(player);
        Put(info->Soldier, layout::Soldier_Part_Player, record ? record : Add_Player(player, team));
    }
    return reinterpret_cast<ServerObject>(info->Object);
}

ServerObject World::Add_Vehicle(int32_t team, int32_t seats, const std::string& preset) {
    ObjectInfo* info = New_Object(team, preset.empty() ? "CnC_Vehicle" : preset);
    info->Vehicle = true;
    info->Seats.assign(seats > 0 ? static_cast<size_t>(seats) : 0, nullptr);
    Refresh_Seats(*info);
    Put(info->Object, layout::Game_Object_Seat_Count, seats);
    return reinterpret_cast<ServerObject>(info->Object);
}

ServerObject World::Add_Object(int32_t team, const std::string& preset, bool protected_target) {
    ObjectInfo* info = New_Object(team, preset);
    info->Protected_Target = protected_target;
    return reinterpret_cast<ServerObject>(info->Object);
}

ServerObject World::Add_Charge(C4Kind kind, ServerObject owner, ServerObject carrier,
                               int32_t team) {
    ObjectInfo* info = New_Object(team, "CnC_C4");
    info->Charge = New_Block(layout::Charge_Part_Size, Table_For(Part_Table), info);
    info->Definition = New_Block(layout::Definition_Size, Table_For(Part_Table), nullptr);
    Put(info->Definition, layout::Definition_Kind, kind);
    Put(info->Charge, layout::Charge_Part_Definition, info->Definition);
    if (owner) {
        info->Owner_Link = New_Link(owner);
        Put(info->Charge, layout::Charge_Part_Owner_Link, info->Owner_Link);
    }
    if (carrier) {
        info->Carrier_Link = New_Link(carrier);
        Put(info->Charge, layout::Charge_Part_Carrier_Link, info->Carrier_Link);
    }
    return reinterpret_cast<ServerObject>(info->Object);
}

void World::Refresh_Seats(ObjectInfo& info) {
    unsigned char* seats = New_Block(info.Seats.size() * 4 + 4, nullptr, nullptr);
    for (size_t i = 0; i < info.Seats.size(); ++i)
        Put(seats, i * 4, info.Seats[i]);
    Put(info.Object, layout::Game_Object_Seats, seats);
}

void World::Seat(ServerObject vehicle, int index, ServerObject occupant) {
    ObjectInfo& info = Info(vehicle);
    if (index < 0 || static_cast<size_t>(index) >= info.Seats.size())
        throw std::out_of_range("no such seat");
    info.Seats[static_cast<size_t>(index)] = occupant;
    Refresh_Seats(info);
}

void World::Set_Seat_Count(ServerObject vehicle, int32_t count) {
    Put(Info(vehicle).Object, layout::Game_Object_Seat_Count, count);
}

void World::Refresh_Observers(ObjectInfo& info) {
    unsigned char* array = New_Block(info.Observers.size() * 4 + 4, nullptr, nullptr);
    for (size_t i = 0; i < info.Observers.size(); ++i)
        Put(array, i * 4, info.Observers[i]);
    Put(info.Object, layout::Game_Object_Observers, array);
    Put(info.Object, layout::Game_Object_Observer_Count,
        static_cast<int32_t>(info.Observers.size()));
}

void World::Add_Observer(ServerObject object, const std::string& name) {
    ObjectInfo& info = Info(object);
    unsigned char* observer = New_Block(8 + name.size() + 1, Table_For(Observer_Table), &info);
    std::memcpy(observer + 8, name.c_str(), name.size() + 1);
    info.Observers.push_back(observer);
    info.Observer_Names.push_back(name);
    Refresh_Observers(info);
}

void World::Attach_Observer(ServerObject object, ScriptClass* observer) {
    ObjectInfo& info = Info(object);
    auto* raw = reinterpret_cast<unsigned char*>(observer);
    info.Observers.push_back(raw);
    const char* name = Script_Name(observer);
    info.Observer_Names.push_back(name ? name : "");
    info.Scripts.push_back(observer);
    script_holders_[observer].push_back(&info);
    Refresh_Observers(info);
}

void World::Detach_Script(ScriptClass* script) {
    auto holders = script_holders_.find(script);
    if (holders == script_holders_.end())
        return;
    auto* raw = reinterpret_cast<unsigned char*>(script);
    for (ObjectInfo* info : holders->second) {
        for (size_t i = 0; i < info->Observers.size(); ++i)
            if (info->Observers[i] == raw) {
                info->Observers.erase(info->Observers.begin() + static_cast<long>(i));
                info->Observer_Names.erase(info->Observer_Names.begin() + static_cast<long>(i));
                Refresh_Observers(*info);
                break;
            }
        for (auto it = info->Scripts.begin(); it != info->Scripts.end(); ++it)
            if (*it == script) {
                info->Scripts.erase(it);
                break;
            }
    }
    script_holders_.erase(holders);
}

void World::Set_Protected_Target(ServerObject object, bool yes) {
    Info(object).Protected_Target = yes;
}

void World::Kill(ServerObject object) {
    ObjectInfo& info = Info(object);
    info.Alive = false;
    live_.erase(info.Object);
    live_.erase(info.Listed);
}

void World::Unlist(ServerObject object) {
    ObjectInfo& info = Info(object);
    if (!info.Node)
        return;
    unsigned char* previous = nullptr;
    unsigned char* node = nullptr;
    std::memcpy(&node, list_head_ + layout::List_Head_First, 4);
    while (node && node != info.Node) {
        previous = node;
        std::memcpy(&node, node + layout::Node_Next, 4);
    }
    if (!node)
        return;
    unsigned char* next = nullptr;
    std::memcpy(&next, node + layout::Node_Next, 4);
    Put(previous ? previous + layout::Node_Next : list_head_ + layout::List_Head_First, 0, next);
    if (list_tail_ == node)
        list_tail_ = previous;
    info.Node = nullptr;
}

void World::Set_Owner_Link_Empty(ServerObject charge) {
    ObjectInfo& info = Info(charge);
    info.Owner_Link = New_Link(nullptr);
    Put(info.Charge, layout::Charge_Part_Owner_Link, info.Owner_Link);
}

void World::Set_Carrier_Link_Empty(ServerObject charge) {
    ObjectInfo& info = Info(charge);
    info.Carrier_Link = New_Link(nullptr);
    Put(info.Charge, layout::Charge_Part_Carrier_Link, info.Carrier_Link);
}

void World::Set_Team(ServerObject object, int32_t team) {
    ObjectInfo& info = Info(object);
    if (info.Team)
        Put(info.Team, layout::Team_Part_Team, team);
}

void World::Drop_Team_Part(ServerObject object) {
    Info(object).Team = nullptr;
}

ObjectInfo& World::Info(ServerObject object) const {
    if (!object)
        throw std::invalid_argument("no object");
    return *Info_Of(object);
}

bool World::Is_Live(const void* object) const {
    return object && live_.count(object) != 0;
}

bool World::Is_Listed(ServerObject object) const {
    return Info(object).Node != nullptr;
}

std::vector<ServerObject> World::Listed_Objects() const {
    std::vector<ServerObject> result;
    unsigned char* node = nullptr;
    std::memcpy(&node, list_head_ + layout::List_Head_First, 4);
    while (node) {
        result.push_back(reinterpret_cast<ServerObject>(Info_Of(node)->Object));
        std::memcpy(&node, node + layout::Node_Next, 4);
    }
    return result;
}

void World::Remove_Charge_Part(const void* charge_part) {
    ObjectInfo* info = Info_Of(charge_part);
    Removed_Charges.push_back(reinterpret_cast<ServerObject>(info->Object));
    Unlist(reinterpret_cast<ServerObject>(info->Object));
    to_destroy_.push_back(reinterpret_cast<ServerObject>(info->Object));
}

int Object_Exists(ServerObject object) {
    World* world = World::Current();
    if (!world)
        return 0;
    ++world->Existence_Queries;
    if (!object)
        ++world->Null_Existence_Queries;
    return world->Is_Live(object) ? 1 : 0;
}

const char* Preset_Name(ServerObject object) {
    World* world = World::Current();
    if (!world || !world->Is_Live(object))
        return "";
    return world->Info(object).Preset.c_str();
}

bool Is_Protected_Target(ServerObject object) {
    World* world = World::Current();
    return world && world->Is_Live(object) && world->Info(object).Protected_Target;
}

} // namespace standin
