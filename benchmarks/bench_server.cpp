#include "bench_server.h"

#include "config/c4_rule_settings.h"
#include "scripts/script_registry.h"
#include "standin/allocator.h"
#include "standin/command_table.h"
#include "standin/host_routines.h"
#include "standin/ini.h"

#include <cstdint>
#include <vector>

namespace {

constexpr int Player_Count = 16;
constexpr PlayerId Judged_Player = 2; // even ids play for team 0

// A fixed sequence, so every run and every size builds the same kind of world.
class Sequence {
  public:
    uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
    template <class T> T Pick(const std::vector<T>& from) {
        return from[static_cast<size_t>(Below(static_cast<int>(from.size())))];
    }

  private:
    uint32_t state_ = 20110305u;
};

int32_t Team_Of_Player(PlayerId id) {
    return id % 2;
}

} // namespace

BenchServer::BenchServer(int objects) : size_(objects) {
    standin::Reset_Allocator();
    standin::Reset_Command_Table();
    standin::Reset_Ini();
    world_ = std::make_unique<standin::World>();
    standin::World& w = *world_;

    std::vector<ServerObject> soldiers, vehicles, buildings, charges;
    std::vector<ServerObject> player_soldiers;
    for (PlayerId id = 1; id <= Player_Count; ++id)
        player_soldiers.push_back(w.Add_Soldier(Team_Of_Player(id), id));
    soldiers = player_soldiers;
    vehicles.push_back(w.Add_Vehicle(0, 2, "CnC_Nod_Harvester"));
    vehicles.push_back(w.Add_Vehicle(1, 2, "CnC_GDI_Harvester"));
    const ServerObject judged_soldier = player_soldiers[Judged_Player - 1];
    const ServerObject own_harvester = vehicles[0];
    const ServerObject empty_vehicle = w.Add_Vehicle(0, 4, "CnC_Nod_Buggy");
    vehicles.push_back(empty_vehicle);
    building_ = w.Add_Object(0, "CnC_Nod_Power_Plant", true);
    buildings.push_back(building_);
    on_empty_vehicle_ = w.Add_Charge(C4_Remote, judged_soldier, empty_vehicle);
    on_nothing_ = w.Add_Charge(C4_Remote, judged_soldier, nullptr);
    on_harvester_ = w.Add_Charge(C4_Timed, judged_soldier, own_harvester);
    charges = {on_empty_vehicle_, on_nothing_, on_harvester_};

    const char* const building_presets[] = {"CnC_Nod_Power_Plant", "CnC_GDI_Barracks",
                                            "CnC_Nod_Refinery", "CnC_GDI_War_Factory"};
    const char* const other_presets[] = {"Powerup_Health", "Spawner", "Projectile",
                                         "Beacon_Pedestal", "Tiberium_Field"};
    Sequence random;
    for (int made = 23; made < objects; ++made) {
        // Every tenth object is a charge; the rest follow a match's mix.
        if (made % 10 == 0) {
            const ServerObject owner = random.Pick(player_soldiers);
            const C4Kind kind = static_cast<C4Kind>(1 + random.Below(3));
            ServerObject carrier = nullptr;
            const int where = random.Below(100);
            if (where < 30)
                carrier = random.Pick(vehicles);
            else if (where < 60)
                carrier = random.Pick(buildings);
            else if (where < 75)
                carrier = random.Pick(charges);
            else if (where < 85)
                carrier = random.Pick(soldiers);
            charges.push_back(w.Add_Charge(kind, owner, carrier));
            continue;
        }
        const int kind = random.Below(100);
        const int32_t team = random.Below(2);
        if (kind < 35) {
            soldiers.push_back(w.Add_Soldier(team));
        } else if (kind < 52) {
            const int32_t seats = 1 + random.Below(5);
            const ServerObject vehicle = w.Add_Vehicle(team, seats);
            const int crew = random.Below(3); // none, a driver, a gunner only
            if (crew > 0)
                w.Seat(vehicle, crew == 1 ? 0 : seats - 1, random.Pick(soldiers));
            vehicles.push_back(vehicle);
        } else if (kind < 60) {
            buildings.push_back(
                w.Add_Object(team, building_presets[random.Below(4)], random.Below(2) == 0));
        } else {
            w.Add_Object(random.Below(3) - 1, other_presets[random.Below(5)]);
        }
    }

    standin::Install_Host_Routines();
    w.Use_Script_Library(&Create_Script);
    Settings = new C4RuleSettings;
    Settings->RemoteC4Limit = Settings->TimedC4Limit = 1 << 20;
    Settings->RemoteC4Stacked = Settings->TimedC4Stacked = 1 << 20;
    Settings->PPAGE_Message.Assign("Do not C4 your own harvester!");
    Set_Message_Flags();
}

BenchServer::~BenchServer() {
    world_->Destroy_All_Objects();
    delete Settings;
    Settings = nullptr;
    standin::Clear_Host_Routines();
    world_.reset();
    standin::Reset_Ini();
    standin::Reset_Allocator();
}

void BenchServer::Forget_Removals() {
    world_->Removed_Charges.clear();
    world_->Console_Lines.clear();
}

const std::vector<ServerObject>& BenchServer::Fresh_Charges(size_t count) {
    if (fresh_charges_.size() >= count)
        return fresh_charges_;
    // Off the list, so the walks keep their size whatever order the benchmarks run in.
    const ServerObject owner = World().Add_Soldier(0, Judged_Player);
    World().Unlist(owner);
    while (fresh_charges_.size() < count) {
        fresh_charges_.push_back(World().Add_Charge(C4_Remote, owner, nullptr));
        World().Unlist(fresh_charges_.back());
    }
    return fresh_charges_;
}

// As the server does when a script asks to go: detached from its object, its timer
// dropped, destroyed with its block.
void BenchServer::Detach_Watch_Scripts() {
    standin::World& w = World();
    for (ServerObject charge : fresh_charges_)
        for (ScriptClass* script : std::vector<ScriptClass*>(w.Info(charge).Scripts))
            w.Request_Destroy(script);
    w.Destroy_Requested_Scripts();
    w.Attach_Requests.clear();
    w.Timer_Starts.clear();
    w.Destroy_Requests.clear();
    w.Destroyed_Scripts.clear();
}
