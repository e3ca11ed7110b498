// A thousand lives of the plugin in one process, each from library load to unload, on
// the plugin's own code: nothing accumulates from one life to the next. (The binary tests
// live fifty of them on the real DLL, see tests/plugin/plugin_life_scenarios.cpp.)
//
// The plugin scenarios' fixture, with its fake bhs.dll (a shared object), is built in the
// Linux test programs only.
#if !defined(_WIN32)

#include "tests/plugin/plugin_life.h"

TEST_F(PluginLife, a_thousand_lives_in_one_process_leave_nothing_behind) {
    for (int life = 0; life < 1000; ++life) {
        Reload_Library();
        Live_Once();
        ASSERT_TRUE(Nothing_Left()) << "after life " << life;
    }
    EXPECT_EQ(world().Removed_Charges.size(), 2000u);
}

#endif
