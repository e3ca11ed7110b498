// A plugin's whole life under the server's allocator refusing a block at the first, the
// second, ... allocation from the command table's hand-over to unload, for every position
// until the life needs no more; and fifty lives with the library unloaded and loaded
// again in between. Whatever is refused, nothing crashes, every block taken goes back,
// and nothing is given back that was never handed out or was given back already.
#include "tests/plugin/plugin_life.h"

#include <string>

TEST_F(PluginLife, a_refused_block_anywhere_from_start_to_unload_loses_nothing) {
    // The life without faults, for comparison: it pages and removes both charges.
    Live_Once();
    ASSERT_EQ(world().Removed_Charges.size(), 2u);
    ASSERT_EQ(world().Console_Lines.size(), 2u);
    ASSERT_TRUE(Nothing_Left());
    const size_t needed = standin::Allocator_Counts().Allocations;

    for (long successes = 0;; ++successes) {
        SCOPED_TRACE("refused after " + std::to_string(successes) + " blocks");
        const size_t refused = standin::Allocator_Counts().Refused;
        standin::Fail_After(successes);
        Live_Once();
        standin::Fail_After(-1);
        ASSERT_TRUE(Nothing_Left());
        if (standin::Allocator_Counts().Refused == refused)
            break; // this life needed no more blocks than it was given
        ASSERT_LT(static_cast<size_t>(successes), needed) << "refusals without end";
    }
}

TEST_F(PluginLife, fifty_lives_with_the_library_reloaded_leave_nothing_behind) {
    for (int life = 0; life < 50; ++life) {
        Reload_Library();
        Live_Once();
        ASSERT_TRUE(Nothing_Left()) << "after life " << life;
    }
    EXPECT_EQ(world().Removed_Charges.size(), 100u);
}
