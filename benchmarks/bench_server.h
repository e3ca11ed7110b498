// A stand-in server in the middle of a busy match, for the benchmarks: its object list
// holds a given number of objects of a realistic mix (soldiers of players and bots,
// vehicles with and without crews, buildings, other objects, and a tenth of them charges
// of several players), and the plugin's settings record is in place.
#pragma once

#include "host/server_object.h"
#include "standin/allocator.h"
#include "standin/world.h"

#include <cstddef>
#include <memory>
#include <vector>

class BenchServer {
  public:
    // Builds the world; only one server exists at a time.
    explicit BenchServer(int objects);
    ~BenchServer();
    BenchServer(const BenchServer&) = delete;
    BenchServer& operator=(const BenchServer&) = delete;

    standin::World& World() { return *world_; }
    int Size() const { return size_; }

    // A remote charge of the judged player on an empty vehicle of the player's own team,
    // under a limit high enough that it stays: its judgement walks the whole list and
    // keeps it.
    ServerObject Charge_On_Empty_Vehicle() const { return on_empty_vehicle_; }
    // A remote charge of the judged player stuck to nothing: judged without a walk, kept.
    ServerObject Charge_On_Nothing() const { return on_nothing_; }
    // A timed charge of the judged player on the own team's harvester: judged without a
    // walk, paged and removed (the stand-in leaves it live, so it can be judged again).
    ServerObject Charge_On_Own_Harvester() const { return on_harvester_; }
    // A building that is no charge.
    ServerObject Building() const { return building_; }

    // Charges the hook has not seen yet, made once per server and kept off its list;
    // Detach_Watch_Scripts makes them fresh again after the hook attached its script.
    const std::vector<ServerObject>& Fresh_Charges(size_t count);
    void Detach_Watch_Scripts();

    // The stand-in's records that grow with every removal and page; a benchmark that
    // removes clears them from time to time so memory stays flat.
    void Forget_Removals();

  private:
    std::unique_ptr<standin::World> world_;
    int size_;
    ServerObject on_empty_vehicle_ = nullptr;
    ServerObject on_nothing_ = nullptr;
    ServerObject on_harvester_ = nullptr;
    ServerObject building_ = nullptr;
    std::vector<ServerObject> fresh_charges_;
};

// The server calls one call of `run` makes, as the stand-in counts them.
struct ServerCalls {
    size_t Existence_Queries = 0;
    size_t Slot_Calls = 0;
    size_t Member_Int_Reads = 0;
    size_t Host_Allocations = 0;
    size_t Total() const { return Existence_Queries + Slot_Calls + Member_Int_Reads; }
};
template <class Run> ServerCalls Count_Server_Calls(standin::World& world, Run run) {
    const size_t exists = world.Existence_Queries;
    const size_t slots = world.Slot_Calls;
    const size_t members = world.Member_Int_Reads;
    const size_t allocations = standin::Allocator_Counts().Allocations;
    run();
    ServerCalls calls;
    calls.Existence_Queries = world.Existence_Queries - exists;
    calls.Slot_Calls = world.Slot_Calls - slots;
    calls.Member_Int_Reads = world.Member_Int_Reads - members;
    calls.Host_Allocations = standin::Allocator_Counts().Allocations - allocations;
    return calls;
}
