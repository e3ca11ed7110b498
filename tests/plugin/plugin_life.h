// A plugin's whole life as the server and its plugin host drive it: the library loaded,
// described, handed the command table (which starts it), a short match in which two
// charges are placed and judged, and unloaded. Shared by the tests that live it under a
// failing allocator and the tests that live it many times in one process.
#pragma once

#include "tests/plugin/plugin_scenarios.h"

class PluginLife : public PluginScenario {
  protected:
    void SetUp() override;

    // Describe, hand over the table, the match, unload. The charges go at the match's
    // end, with their scripts, as the server destroys them.
    void Live_Once();
    // The library unloaded and loaded again, as the plugin host reloads it, in the same
    // server process.
    void Reload_Library();

    // After a life: every block the plugin took given back (the vector tables of each
    // binding run apart, kept by design), no unknown or double free, no INI object kept,
    // no call the stand-in does not serve.
    ::testing::AssertionResult Nothing_Left() const;

    std::unique_ptr<standin::FakeBhs> bhs_;
    ServerObject nod_ = nullptr, harvester_ = nullptr, buggy_ = nullptr;
};
