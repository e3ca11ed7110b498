// The plugin as the plugin scenarios drive it: its exports, and the little of its state
// they look at, either in this process (the unit tests link the plugin's code) or in the
// real Tarnwick.dll loaded by the stand-in (the binary tests). Each test program defines
// Make_Plugin_Under_Test for its side, so the same scenarios run on both.
#pragma once

#include "host/command_table.h"
#include "plugin/exports.h"

#include <cstdint>
#include <memory>
#include <string>

struct PluginExports {
    bool (*Check_Version)(uint32_t ignored, void* version_record) = nullptr;
    void (*Plugin_Load)(void* bhs_module, PluginHostSettings* settings, PluginHostContext* context,
                        uint32_t ignored, void* plugin_record) = nullptr;
    void (*Plugin_Unload)() = nullptr;
    bool (*Set_Script_Commands)(ScriptCommands* commands) = nullptr;
    void (*Set_Request_Destroy_Func)(Request_Destroy_Fn callback) = nullptr;
    ScriptClass* (*Create_Script)(const char* name) = nullptr;
};

class PluginUnderTest {
  public:
    virtual ~PluginUnderTest() = default;

    // The library loaded as the server's process loads it: static registration, then the
    // attach handler, which binds against the server image planted now. False, with the
    // reason, where it cannot be.
    virtual bool Load(std::string& error) = 0;
    // The library unloaded; its plugin-wide state is gone with it.
    virtual void Unload() = 0;

    const PluginExports& Exports() const { return exports_; }

    // The command table the plugin refers to.
    virtual const CommandTable* Referenced_Table() const = 0;
    // The recognised server build.
    virtual int32_t Exe_Kind() const = 0;
    // The address of the hook callback, as a hook record must hold it.
    virtual const void* Hook_Callback() const = 0;

  protected:
    PluginExports exports_;
};

std::unique_ptr<PluginUnderTest> Make_Plugin_Under_Test();
