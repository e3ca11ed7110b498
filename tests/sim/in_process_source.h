// The simulator's third plugin source: the plugin's own code, linked into the test
// program (tests/unit/plugin_in_process.cpp), reached through the same table of exports
// as the real DLL. Matches then run in a fraction of the time the DLL takes under the
// loader, and every line of the plugin is visible to the sanitizers.
#pragma once

#include "sim/plugin_source.h"
#include "standin/host_routines.h"
#include "tests/plugin/plugin_under_test.h"

class InProcessSource : public sim::PluginSource {
  public:
    bool Load(std::string& error) override {
        // As in a fresh process: nothing bound until the attach handler runs.
        standin::Clear_Host_Routines();
        if (!plugin_->Load(error))
            return false;
        const PluginExports& x = plugin_->Exports();
        exports_.Create_Script = x.Create_Script;
        exports_.Check_Version = x.Check_Version;
        exports_.Plugin_Load = x.Plugin_Load;
        exports_.Plugin_Unload = x.Plugin_Unload;
        exports_.Set_Request_Destroy_Func = x.Set_Request_Destroy_Func;
        exports_.Set_Script_Commands = x.Set_Script_Commands;
        return true;
    }
    void Unload() override {
        plugin_->Unload();
        exports_ = sim::PluginExports{};
    }
    std::string Description() const override { return "the plugin's code in this program"; }

  private:
    std::unique_ptr<PluginUnderTest> plugin_ = Make_Plugin_Under_Test();
};
