// What the plugin costs the server: the object-create hook, which runs for every object
// the server creates, and a judgement, which may walk the whole object list. Each is set
// against a bare walk over the same list that makes only the server calls every node
// needs, and the summary at the end gives the ratios of one run, the server calls per
// listed object as the stand-in counts them, and the host allocations of the paths that
// must make none.
#include "baseline.h"
#include "bench_server.h"

#include "rules/c4_rules.h"
#include "rules/watch_script.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

const int Walk_Sizes[] = {100, 1000, 10000};
constexpr int Large = 10000;

// One server at a time, rebuilt only when a benchmark asks for another size, so the bare
// walk and the judgement of one size run over the very same list.
std::unique_ptr<BenchServer> current_server;
BenchServer& Server(int objects) {
    if (!current_server || current_server->Size() != objects) {
        current_server.reset();
        current_server = std::make_unique<BenchServer>(objects);
    }
    return *current_server;
}

// The server calls of one call, kept for the summary.
std::map<std::string, ServerCalls> calls_of;

std::string Name(const char* benchmark, int64_t size) {
    return std::string(benchmark) + "/" + std::to_string(size);
}

void Note_Calls(benchmark::State& state, const char* benchmark, BenchServer& server,
                const std::function<void()>& run) {
    const ServerCalls calls = Count_Server_Calls(server.World(), run);
    calls_of[Name(benchmark, state.range(0))] = calls;
    state.counters["calls"] = static_cast<double>(calls.Total());
    state.counters["allocs"] = static_cast<double>(calls.Host_Allocations);
}

void Bare_Walk(benchmark::State& state) {
    BenchServer& server = Server(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(Bare_Walk_Over_Object_List());
    Note_Calls(state, "Bare_Walk", server, [] { Bare_Walk_Over_Object_List(); });
}

// A remote charge on an empty vehicle of the owner's team: the vehicle count walks the
// whole list; the charge is within its limit and stays.
void Judgement_Walking_The_List(benchmark::State& state) {
    BenchServer& server = Server(static_cast<int>(state.range(0)));
    const ServerObject charge = server.Charge_On_Empty_Vehicle();
    for (auto _ : state)
        Check_C4_Placement(charge);
    Note_Calls(state, "Judgement_Walking_The_List", server,
               [charge] { Check_C4_Placement(charge); });
}

void Judgement_Of_A_Charge_On_Nothing(benchmark::State& state) {
    BenchServer& server = Server(static_cast<int>(state.range(0)));
    const ServerObject charge = server.Charge_On_Nothing();
    for (auto _ : state)
        Check_C4_Placement(charge);
    Note_Calls(state, "Judgement_Of_A_Charge_On_Nothing", server,
               [charge] { Check_C4_Placement(charge); });
}

// Paged and removed every time; the stand-in keeps the charge live, so it can be judged
// again.
void Judgement_Of_A_Charge_On_The_Own_Harvester(benchmark::State& state) {
    BenchServer& server = Server(static_cast<int>(state.range(0)));
    const ServerObject charge = server.Charge_On_Own_Harvester();
    unsigned round = 0;
    for (auto _ : state) {
        Check_C4_Placement(charge);
        if (++round % 4096 == 0)
            server.Forget_Removals();
    }
    Note_Calls(state, "Judgement_Of_A_Charge_On_The_Own_Harvester", server,
               [charge] { Check_C4_Placement(charge); });
    server.Forget_Removals();
}

// The hook runs for every object the server creates; most are no charge.
void Hook_On_An_Object_That_Is_No_Charge(benchmark::State& state) {
    BenchServer& server = Server(static_cast<int>(state.range(0)));
    const ServerObject building = server.Building();
    for (auto _ : state)
        Watch_New_Object(nullptr, building);
    Note_Calls(state, "Hook_On_An_Object_That_Is_No_Charge", server,
               [building] { Watch_New_Object(nullptr, building); });
}

// A new charge: the hook attaches the watch script, which the server creates through
// Create_Script, binds and notifies, and whose timer it starts. The charges are made
// fresh again between batches, outside the measured time.
constexpr size_t Hook_Batch = 256;
void Hook_On_A_New_Charge(benchmark::State& state) {
    BenchServer& server = Server(static_cast<int>(state.range(0)));
    const std::vector<ServerObject>& charges = server.Fresh_Charges(Hook_Batch);
    for (auto _ : state) {
        for (ServerObject charge : charges)
            Watch_New_Object(nullptr, charge);
        state.PauseTiming();
        server.Detach_Watch_Scripts();
        state.ResumeTiming();
    }
    const ServerObject charge = charges[0];
    Note_Calls(state, "Hook_On_A_New_Charge", server,
               [charge] { Watch_New_Object(nullptr, charge); });
    server.Detach_Watch_Scripts();
    state.counters["hook"] = benchmark::Counter(
        Hook_Batch, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// ---------------------------------------------------------------------------
// The summary.

struct Measured {
    double Nanoseconds = 0; // CPU time per iteration, the least of the repetitions
};

// Passes every run on to the console and keeps its time per iteration.
class KeepingReporter : public benchmark::ConsoleReporter {
  public:
    // A reporter of one's own does not follow --benchmark_color: colours on a terminal only.
    KeepingReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0)
                continue;
            const double ns = run.cpu_accumulated_time / static_cast<double>(run.iterations) * 1e9;
            auto found = measured.find(run.benchmark_name());
            if (found == measured.end() || ns < found->second.Nanoseconds)
                measured[run.benchmark_name()].Nanoseconds = ns;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, Measured> measured;
};

const Measured* Find(const KeepingReporter& r, const std::string& name) {
    auto found = r.measured.find(name);
    return found == r.measured.end() ? nullptr : &found->second;
}

const ServerCalls* Calls(const std::string& name) {
    auto found = calls_of.find(name);
    return found == calls_of.end() ? nullptr : &found->second;
}

// The paths that make no walk, each set against the bare walk's cost per node in a world
// of the same size.
struct SinglePath {
    const char* Name;
    int Size;
    size_t Batch; // calls per iteration
};
const SinglePath Single_Paths[] = {
    {"Hook_On_An_Object_That_Is_No_Charge", Large, 1},
    {"Hook_On_A_New_Charge", Large, Hook_Batch},
    {"Judgement_Of_A_Charge_On_Nothing", Large, 1},
    {"Judgement_Of_A_Charge_On_The_Own_Harvester", Large, 1},
};
const SinglePath Walking_Judgement_Large = {"Judgement_Walking_The_List", Large, 1};

void Print_Summary(const KeepingReporter& r) {
    std::printf("\n=== Summary of this run\n");
    if (const char* note = std::getenv("TARNWICK_BENCH_NOTE"))
        std::printf("%s\n", note);

    std::printf("\nJudgement walking the list against the bare walk over the same list\n");
    std::printf("%8s %14s %14s %7s\n", "objects", "bare walk", "judgement", "ratio");
    for (int size : Walk_Sizes) {
        const Measured* bare = Find(r, Name("Bare_Walk", size));
        const Measured* judged = Find(r, Name("Judgement_Walking_The_List", size));
        if (!bare || !judged)
            continue;
        std::printf("%8d %11.1f us %11.1f us %7.2f%s\n", size, bare->Nanoseconds / 1e3,
                    judged->Nanoseconds / 1e3, judged->Nanoseconds / bare->Nanoseconds,
                    size == Large ? "   (target: at most 1.50)" : "");
    }

    std::printf("\nServer calls per listed object (judgement / bare walk)\n");
    std::printf("%8s %22s %22s %22s %14s\n", "objects", "Cmd_Object_Exists", "virtual slots",
                "Host_Get_Member_Int", "all");
    for (int size : Walk_Sizes) {
        const ServerCalls* bare = Calls(Name("Bare_Walk", size));
        const ServerCalls* judged = Calls(Name("Judgement_Walking_The_List", size));
        if (!bare || !judged)
            continue;
        const double n = size;
        std::printf("%8d %10.2f / %-9.2f %10.2f / %-9.2f %10.2f / %-9.2f %6.2f / %-5.2f\n", size,
                    judged->Existence_Queries / n, bare->Existence_Queries / n,
                    judged->Slot_Calls / n, bare->Slot_Calls / n, judged->Member_Int_Reads / n,
                    bare->Member_Int_Reads / n, judged->Total() / n, bare->Total() / n);
    }

    std::printf(
        "\nPaths without a walk, in bare-walk nodes of a world of the same size (counted\n"
        "calls: Cmd_Object_Exists, virtual slots of server objects, Host_Get_Member_Int)\n");
    for (const SinglePath& path : Single_Paths) {
        const Measured* bare = Find(r, Name("Bare_Walk", path.Size));
        const Measured* m = Find(r, Name(path.Name, path.Size));
        const ServerCalls* c = Calls(Name(path.Name, path.Size));
        if (!bare || !m || !c)
            continue;
        const double per_node = bare->Nanoseconds / path.Size;
        const double ns = m->Nanoseconds / static_cast<double>(path.Batch);
        std::printf("  %-44s %6d objects %9.1f ns = %6.2f nodes of %.1f ns, %3zu counted calls\n",
                    path.Name, path.Size, ns, ns / per_node, per_node, c->Total());
    }

    std::printf("\nHost allocations per call (target: none)\n");
    const SinglePath* no_allocation[] = {&Single_Paths[0], &Walking_Judgement_Large};
    for (const SinglePath* path : no_allocation)
        if (const ServerCalls* c = Calls(Name(path->Name, path->Size)))
            std::printf("  %-44s %6d objects %zu\n", path->Name, path->Size, c->Host_Allocations);
    if (const ServerCalls* c = Calls(Name(Single_Paths[1].Name, Single_Paths[1].Size)))
        std::printf("  (%s: %zu, the watch script's own block)\n", Single_Paths[1].Name,
                    c->Host_Allocations);
}

void Register(const char* name, void (*fn)(benchmark::State&), int size) {
    benchmark::RegisterBenchmark(name, fn)->Arg(size)->Unit(benchmark::kMicrosecond);
}

} // namespace

int main(int argc, char** argv) {
    // Grouped by size, so each world is built once.
    for (int size : Walk_Sizes) {
        Register("Bare_Walk", Bare_Walk, size);
        Register("Judgement_Walking_The_List", Judgement_Walking_The_List, size);
    }
    Register("Judgement_Of_A_Charge_On_Nothing", Judgement_Of_A_Charge_On_Nothing, Large);
    Register("Judgement_Of_A_Charge_On_The_Own_Harvester",
             Judgement_Of_A_Charge_On_The_Own_Harvester, Large);
    Register("Hook_On_An_Object_That_Is_No_Charge", Hook_On_An_Object_That_Is_No_Charge, Large);
    Register("Hook_On_A_New_Charge", Hook_On_A_New_Charge, Large);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    KeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    Print_Summary(reporter);
    current_server.reset();
    benchmark::Shutdown();
    return 0;
}
