#include "tests/plugin/plugin_life.h"

#include "standin/ini.h"

#include <string>

void PluginLife::SetUp() {
    PluginScenario::SetUp();
    if (HasFatalFailure())
        return;
    bhs_ = std::make_unique<standin::FakeBhs>();
    Write_File("tarnwick.ini", "[General]\nActivationWaitTime=2\nRemoteC4Limit=0\n"
                               "PPAGE_Message=Do not C4 your own harvester, please!\n"
                               "RemoteC4Limit_Message=Too many remote charges on vehicles\n");
    nod_ = world().Add_Soldier(0, 5);
    harvester_ = world().Add_Vehicle(0, 2, "CnC_Nod_Harvester");
    buggy_ = world().Add_Vehicle(0, 2);
}

void PluginLife::Reload_Library() {
    plugin_->Unload();
    std::string error;
    ASSERT_TRUE(plugin_->Load(error)) << error;
    world().Use_Script_Library(plugin_->Exports().Create_Script);
}

void PluginLife::Live_Once() {
    Describe(bhs_->Module());
    Hand_Over_Table();
    // One charge on the own harvester, one beyond the limit on an empty vehicle (its
    // count walks the list).
    const ServerObject charges[] = {world().Add_Charge(C4_Timed, nod_, harvester_),
                                    world().Add_Charge(C4_Remote, nod_, buggy_)};
    for (ServerObject charge : charges)
        bhs_->Object_Created(charge);
    world().Advance_Clock(3);
    for (ServerObject charge : charges)
        world().Destroy_Object(charge);
    Unload_Plugin();
}

::testing::AssertionResult PluginLife::Nothing_Left() const {
    const standin::AllocatorCounts counts = standin::Allocator_Counts();
    if (counts.Live != counts.Kept)
        return ::testing::AssertionFailure()
               << counts.Live - counts.Kept << " blocks not given back";
    if (counts.Unknown_Frees != 0 || counts.Double_Frees != 0)
        return ::testing::AssertionFailure()
               << counts.Unknown_Frees << " unknown and " << counts.Double_Frees << " double frees";
    if (standin::Live_Ini_Objects() != 0)
        return ::testing::AssertionFailure() << standin::Live_Ini_Objects() << " INI objects kept";
    if (!standin::World::Current()->Unexpected_Calls.empty() || !standin::Trap_Calls().empty())
        return ::testing::AssertionFailure() << "calls the stand-in does not serve";
    return ::testing::AssertionSuccess();
}
