// A thousand lives of the plugin in one process, each from library load to unload, on
// the plugin's own code: nothing accumulates from one life to the next.
#include "tests/plugin/plugin_life.h"

TEST_F(PluginLife, a_thousand_lives_in_one_process_leave_nothing_behind) {
    for (int life = 0; life < 1000; ++life) {
        Reload_Library();
        Live_Once();
        ASSERT_TRUE(Nothing_Left()) << "after life " << life;
    }
    EXPECT_EQ(world().Removed_Charges.size(), 2000u);
}
