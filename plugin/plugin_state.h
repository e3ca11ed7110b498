// The plugin-wide references, each a process-wide variable written by one owner and read
// everywhere else. (The command table, the settings record and the request-destroy
// callback live beside their owners.)
#pragma once

#include "host/ssgm.h"

#include <cstdint>

extern void* Bhs_Module;                  // written by SSGM_Plugin_Load: bhs.dll's module
extern PluginHostSettings* Host_Settings; // written by SSGM_Plugin_Load
extern PluginHostContext* Host_Context;   // written by SSGM_Plugin_Load
extern ObjectCreateHook* Hook_Record;     // written by plugin start
extern int32_t Hook_Id;                   // written by plugin start
// Whether bhs.dll took Hook_Record (Hook_Id is then its id); written by start and unload.
extern bool Hook_Registered;
