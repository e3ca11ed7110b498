#include "plugin/plugin_lifecycle.h"

#include "config/c4_rule_settings.h"
#include "config/log_writer.h"
#include "config/settings_loading.h"
#include "engine/host_memory.h"
#include "host/host_addresses.h"
#include "plugin/bhs_functions.h"
#include "plugin/exports.h"
#include "plugin/plugin_state.h"
#include "rules/watch_script.h"

#include <cstdio>

bool Unsupported_Build_Reported = false;

namespace {

// Every server entry that settings loading and the C4 rules call; a build that lacks one
// (unrecognised, or recognised with only its memory routines) cannot run them.
bool Rules_Can_Run() {
    return Host_Alloc && Host_Alloc_Array && Host_Free && Host_Free_Array && Host_Console_Input &&
           Host_Get_Member_Int && Host_Game_Object_List && Host_Find_Player && Host_C4_Remove &&
           Host_INI_Load && Host_INI_Release && Host_INI_Get_Int && Host_INI_Get_String;
}

void Report_Unsupported_Build() {
    if (Unsupported_Build_Reported)
        return;
    Unsupported_Build_Reported = true;
    Log_Message(Unsupported_Build_Line, "_GENERAL");
    // The log writer echoes to the console only when the host asks for both file logging
    // and echo; the operator must see this line either way, once.
    const bool echoed = Host_Settings && Host_Byte_At(Host_Settings, Host_Settings_File_Log_All) &&
                        Host_Byte_At(Host_Settings, Host_Settings_Console_Echo);
    if (!echoed) {
        std::printf("%s\n", Unsupported_Build_Line);
        std::fflush(stdout);
    }
}

void Register_Hook(ObjectCreateHook* record) {
    record->Callback = &Watch_New_Object;
    record->UserData = 0;
    Hook_Record = record;
    Hook_Registered = false;
    // A bhs.dll without the function was reported by the lookups; the rules stay idle.
    if (!NewAddObjectCreateHook)
        return;
    Hook_Id = Bit_Cast<New_Add_Object_Create_Hook_Fn>(NewAddObjectCreateHook)(record);
    Hook_Registered = true;
}

void Withdraw_Hook() {
    if (Hook_Record && Hook_Registered && NewRemoveObjectCreateHook)
        Bit_Cast<New_Remove_Object_Create_Hook_Fn>(NewRemoveObjectCreateHook)(Hook_Id);
    Hook_Registered = false;
}

} // namespace

void Plugin_Attach() {
    if (ExeKind == Exe_Kind_Unknown)
        Bind_Host_Addresses();
}

void Plugin_Start() {
    if (!Host_Alloc)
        Bind_Host_Addresses();
    if (!Rules_Can_Run()) {
        Report_Unsupported_Build();
        return;
    }
    // Without a settings record nothing can run: no hook either.
    C4RuleSettings* settings = new C4RuleSettings;
    if (!settings)
        return;
    Settings = settings;
    Load_Settings();
    if (auto* record = static_cast<ObjectCreateHook*>(Plugin_Alloc(sizeof(ObjectCreateHook))))
        Register_Hook(record);
    Set_Message_Flags();
}

extern "C" bool SSGM_Check_Version(uint32_t, void* version_record) {
    if (!version_record)
        return true;
    Host_String_Assign(Host_String_At(version_record, Version_Record_Version),
                       Host_Interface_Version);
    static_cast<unsigned char*>(version_record)[Version_Record_Flag] = 0;
    return true;
}

extern "C" void SSGM_Plugin_Load(void* bhs_module, PluginHostSettings* settings,
                                 PluginHostContext* context, uint32_t, void* plugin_record) {
    if (plugin_record) {
        Host_String_Assign(Host_String_At(plugin_record, Plugin_Record_Title), Plugin_Title);
        Host_String_Assign(Host_String_At(plugin_record, Plugin_Record_Version), Plugin_Version);
    }
    Bhs_Module = bhs_module;
    Host_Settings = settings;
    Host_Context = context;
}

extern "C" void SSGM_Plugin_Unload() {
    // The hook goes first: bhs.dll must not call it once its record is given back.
    Withdraw_Hook();
    delete Settings;
    Settings = nullptr;
    Plugin_Free(Hook_Record);
    Hook_Record = nullptr;
}
