#include "plugin/plugin_state.h"

void* Bhs_Module = nullptr;
PluginHostSettings* Host_Settings = nullptr;
PluginHostContext* Host_Context = nullptr;
ObjectCreateHook* Hook_Record = nullptr;
int32_t Hook_Id = 0;
bool Hook_Registered = false;
