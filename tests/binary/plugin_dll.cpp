// The plugin scenarios on the real Tarnwick.dll, loaded into this process by the
// stand-in's PE loader and reached only through its exports (and, to look at its state,
// the symbols its linker left in the image).
#include "tests/binary/tarnwick_dll.h"

#include "host/calling.h"
#include "standin/allocator.h"
#include "tests/plugin/plugin_under_test.h"

namespace {

class DllPlugin : public PluginUnderTest {
  public:
    ~DllPlugin() override { Unload(); }

    bool Load(std::string& error) override {
        module_ = standin::Load_Pe_Module(Tarnwick_Dll_Path, error);
        if (!module_)
            return false;
        // The vector tables of the attach handler's binding stay for the process.
        for (const char* table : {"_Vector3_Math", "_Vector4_Math"})
            standin::Keep_For_Process(Symbol<const void*>(table));
        exports_.Check_Version = Export<decltype(exports_.Check_Version)>("SSGM_Check_Version");
        exports_.Plugin_Load = Export<decltype(exports_.Plugin_Load)>("SSGM_Plugin_Load");
        exports_.Plugin_Unload = Export<decltype(exports_.Plugin_Unload)>("SSGM_Plugin_Unload");
        exports_.Set_Script_Commands =
            Export<decltype(exports_.Set_Script_Commands)>("Set_Script_Commands");
        exports_.Set_Request_Destroy_Func =
            Export<decltype(exports_.Set_Request_Destroy_Func)>("Set_Request_Destroy_Func");
        exports_.Create_Script = Export<decltype(exports_.Create_Script)>("Create_Script");
        return true;
    }

    void Unload() override {
        standin::Unload_Pe_Module(module_);
        module_ = nullptr;
        exports_ = PluginExports{};
    }

    const CommandTable* Referenced_Table() const override {
        return Symbol<const CommandTable*>("_Command_Table");
    }
    int32_t Exe_Kind() const override { return Symbol<int32_t>("_ExeKind"); }
    const void* Hook_Callback() const override {
        return standin::Pe_Module_Symbol(module_, Watch_New_Object_Symbol);
    }

  private:
    template <class Fn> Fn Export(const char* name) const {
        return Bit_Cast<Fn>(standin::Pe_Module_Export(module_, name));
    }
    // The value of one of the DLL's variables; a zero value where it has none.
    template <class T> T Symbol(const char* name) const {
        T value{};
        if (const void* at = standin::Pe_Module_Symbol(module_, name))
            std::memcpy(&value, at, sizeof value);
        return value;
    }

    standin::PeModule* module_ = nullptr;
};

} // namespace

std::unique_ptr<PluginUnderTest> Make_Plugin_Under_Test() {
    return std::make_unique<DllPlugin>();
}
