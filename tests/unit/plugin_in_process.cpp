// The plugin scenarios on the plugin's own code, linked into this test program.
#include "config/c4_rule_settings.h"
#include "engine/vector_math.h"
#include "host/host_addresses.h"
#include "plugin/plugin_lifecycle.h"
#include "plugin/plugin_state.h"
#include "rules/watch_script.h"
#include "standin/allocator.h"
#include "tests/plugin/plugin_under_test.h"

namespace {

class InProcessPlugin : public PluginUnderTest {
  public:
    InProcessPlugin() {
        exports_.Check_Version = &SSGM_Check_Version;
        exports_.Plugin_Load = &SSGM_Plugin_Load;
        exports_.Plugin_Unload = &SSGM_Plugin_Unload;
        exports_.Set_Script_Commands = &Set_Script_Commands;
        exports_.Set_Request_Destroy_Func = &Set_Request_Destroy_Func;
        exports_.Create_Script = &Create_Script;
    }

    // The registry was filled when this program started; the attach handler's work is
    // what remains of a library load.
    bool Load(std::string&) override {
        Plugin_Attach();
        // The vector tables of a binding run stay for the process.
        standin::Keep_For_Process(Vector3_Math);
        standin::Keep_For_Process(Vector4_Math);
        return true;
    }

    // What a process loses with the library: the plugin-wide references.
    void Unload() override {
        Bhs_Module = nullptr;
        Host_Settings = nullptr;
        Host_Context = nullptr;
        Settings = nullptr;
        Hook_Record = nullptr;
        Hook_Id = 0;
        Hook_Registered = false;
        Unsupported_Build_Reported = false;
        ::Command_Table = nullptr;
    }

    const CommandTable* Referenced_Table() const override { return ::Command_Table; }
    int32_t Exe_Kind() const override { return ExeKind; }
    const void* Hook_Callback() const override { return Bit_Cast<const void*>(&Watch_New_Object); }
};

} // namespace

std::unique_ptr<PluginUnderTest> Make_Plugin_Under_Test() {
    return std::make_unique<InProcessPlugin>();
}
