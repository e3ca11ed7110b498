// A plugin's whole life, from start through a short match to unload, under the server's
// allocator refusing a block at the first, the second, ... allocation, for every position
// until the life needs no more; and a thousand lives in one process. Whatever is refused,
// nothing crashes, every block taken goes back after each life, and nothing is given back
// that was never handed out or was given back already.
#include "config/c4_rule_settings.h"
#include "config/settings_loading.h"
#include "host_files_test.h"
#include "rules/watch_script.h"
#include "scripts/script_registry.h"

#include <string>

namespace {

using namespace standin;

class PluginLife : public HostFilesTest {
  protected:
    void SetUp() override {
        HostFilesTest::SetUp();
        world().Use_Script_Library(&Create_Script);
        Write_File("tarnwick.ini", "[General]\nActivationWaitTime=2\nRemoteC4Limit=0\n"
                                   "PPAGE_Message=Do not C4 your own harvester, please!\n"
                                   "RemoteC4Limit_Message=Too many remote charges on vehicles\n");
        nod = world().Add_Soldier(0, 5);
        harvester = world().Add_Vehicle(0, 2, "CnC_Nod_Harvester");
        buggy = world().Add_Vehicle(0, 2);
    }
    void TearDown() override {
        delete Settings;
        Settings = nullptr;
        HostFilesTest::TearDown();
    }

    // Start, the road of two charges (one on the own harvester, one beyond the limit on
    // an empty vehicle, so the count walks), and unload. The server destroys the charges
    // and their scripts at the end, as it would by the end of the match.
    void Plugin_Life() {
        Settings = new C4RuleSettings;
        Load_Settings();
        Set_Message_Flags();
        const ServerObject charges[] = {world().Add_Charge(C4_Timed, nod, harvester),
                                        world().Add_Charge(C4_Remote, nod, buggy)};
        for (ServerObject charge : charges)
            Watch_New_Object(nullptr, charge);
        world().Advance_Clock(3);
        for (ServerObject charge : charges)
            world().Destroy_Object(charge);
        delete Settings;
        Settings = nullptr;
    }

    // The accounting after a life: everything back, nothing the server does not serve.
    ::testing::AssertionResult Nothing_Left() {
        const AllocatorCounts counts = Allocator_Counts();
        if (Plugin_Blocks() != 0)
            return ::testing::AssertionFailure() << Plugin_Blocks() << " blocks not given back";
        if (counts.Unknown_Frees != 0 || counts.Double_Frees != 0)
            return ::testing::AssertionFailure() << counts.Unknown_Frees << " unknown and "
                                                 << counts.Double_Frees << " double frees";
        if (!world().Unexpected_Calls.empty() || !Trap_Calls().empty())
            return ::testing::AssertionFailure() << "calls the stand-in does not serve";
        if (Live_Ini_Objects() != 0)
            return ::testing::AssertionFailure() << Live_Ini_Objects() << " INI objects kept";
        return ::testing::AssertionSuccess();
    }

    static size_t Plugin_Blocks() { return Allocator_Counts().Live - Allocator_Counts().Kept; }

    ServerObject nod = nullptr, harvester = nullptr, buggy = nullptr;
};

TEST_F(PluginLife, a_refused_block_anywhere_in_a_plugins_life_loses_nothing) {
    // The life without faults, for comparison: it pages and removes both charges.
    Plugin_Life();
    ASSERT_EQ(world().Removed_Charges.size(), 2u);
    ASSERT_EQ(Plugin_Blocks(), 0u);
    const size_t needed = Allocator_Counts().Allocations;

    for (long successes = 0;; ++successes) {
        SCOPED_TRACE("refused after " + std::to_string(successes) + " blocks");
        const size_t refused = Allocator_Counts().Refused;
        Fail_After(successes);
        Plugin_Life();
        Fail_After(-1);
        ASSERT_TRUE(Nothing_Left());
        if (Allocator_Counts().Refused == refused)
            break; // this life needed no more blocks than it was given
        ASSERT_LT(static_cast<size_t>(successes), needed) << "refusals without end";
    }
}

TEST_F(PluginLife, a_thousand_lives_in_one_process_leave_nothing_behind) {
    for (int life = 0; life < 1000; ++life) {
        Plugin_Life();
        ASSERT_TRUE(Nothing_Left()) << "after life " << life;
    }
    EXPECT_EQ(world().Removed_Charges.size(), 2000u);
}

} // namespace
