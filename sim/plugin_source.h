// Where the simulator gets the plugin from: a table of the seven functions Tarnwick.dll
// exports, filled by one of three sources. The match engine calls only this table, so
// one engine serves the real DLL loaded by the stand-in's PE loader (Linux), the real DLL
// loaded by Windows itself (LoadLibraryA), and the plugin's own code linked into a test.
#pragma once

#include "plugin/exports.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace sim {

// plugin/exports.h documents each function.
struct PluginExports {
    int32_t(__attribute__((stdcall)) * Dll_Main)(void* module, uint32_t reason,
                                                 void* reserved) = nullptr;
    ScriptClass* (*Create_Script)(const char* name) = nullptr;
    bool (*Check_Version)(uint32_t ignored, void* version_record) = nullptr;
    void (*Plugin_Load)(void* bhs_module, PluginHostSettings* settings, PluginHostContext* context,
                        uint32_t ignored, void* plugin_record) = nullptr;
    void (*Plugin_Unload)() = nullptr;
    void (*Set_Request_Destroy_Func)(Request_Destroy_Fn callback) = nullptr;
    bool (*Set_Script_Commands)(ScriptCommands* commands) = nullptr;
};

// The exported names, in the order of the table above.
constexpr const char* Export_Names[] = {"DllMain",
                                        "Create_Script",
                                        "SSGM_Check_Version",
                                        "SSGM_Plugin_Load",
                                        "SSGM_Plugin_Unload",
                                        "Set_Request_Destroy_Func",
                                        "Set_Script_Commands"};

class PluginSource {
  public:
    virtual ~PluginSource() = default;

    // Loads the library as the server's process does: its static registration, then its
    // attach handler (DllMain with the process-attach reason), which binds against the
    // server image already planted. Fills the table; false, with the reason, when the
    // library cannot be loaded or lacks an export the simulator calls.
    virtual bool Load(std::string& error) = 0;
    // Unloads the library (DllMain with the process-detach reason, then its exit code).
    virtual void Unload() = 0;
    // What the timeline names as the plugin, e.g. the DLL's path.
    virtual std::string Description() const = 0;

    const PluginExports& Exports() const { return exports_; }

  protected:
    // Fills the table from a library's exports, looked up by name. Returns the missing
    // names among the functions the simulator calls (all but DllMain, which the loader
    // calls), joined by ", "; empty when every one is there.
    std::string Fill_Exports(const std::function<void*(const char* name)>& address_of);

    PluginExports exports_;
};

// The real Tarnwick.dll at `path`, loaded the platform's way (Linux: the stand-in's PE
// loader; Windows: LoadLibraryA and GetProcAddress; sim/dll_library.h).
std::unique_ptr<PluginSource> Dll_Source(const std::string& path);

// The DLL the simulator loads when it is given none: on Linux the win32 build's, on
// Windows the one next to the program.
std::string Default_Dll_Path();

} // namespace sim
