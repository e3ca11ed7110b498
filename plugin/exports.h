// The seven functions Tarnwick.dll exports, by name and undecorated (plugin/Tarnwick.def
// is the one list of them). DllMain is WINAPI (stdcall); the others are extern "C" cdecl.
// Results declared `bool` are one byte in AL.
//
// Calling order: the operating system loads the library (static registration of the
// script factories, then DllMain); SSGM calls SSGM_Check_Version and SSGM_Plugin_Load;
// the server calls Set_Script_Commands (which starts the plugin) and
// Set_Request_Destroy_Func, and Create_Script for every script it attaches;
// SSGM_Plugin_Unload comes last. Everything runs on the server's thread.
#pragma once

#include "host/command_table.h"
#include "host/ssgm.h"
#include "scripts/script_class.h"

#include <cstdint>

// The server's record handed to Set_Script_Commands; only its first field is read.
struct ScriptCommands {
    CommandTable* Table;
};

// BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved)
//   The attach handler (plugin/dll_main.cpp, in the DLL only). For reason 1 (process
//   attach) it turns off thread notifications for `module` and binds the server's
//   addresses if the build is not yet recognised; other reasons do nothing. Returns TRUE.

extern "C" {

// `ignored`: not looked at. `version_record`: SSGM's version record, whose host string at
// byte 64 gets "2.0.2" and whose byte 92 gets 0. Returns true.
bool SSGM_Check_Version(uint32_t ignored, void* version_record);

// `bhs_module`: the module of bhs.dll, where the extension functions are looked up.
// `settings`, `context`: SSGM's objects, kept and read at every log line and settings read.
// `ignored`: not looked at. `plugin_record`: SSGM's plugin record, whose host strings at
// bytes 4 and 36 get the title "Tarnwick Plugin" and the version "1.0".
void SSGM_Plugin_Load(void* bhs_module, PluginHostSettings* settings, PluginHostContext* context,
                      uint32_t ignored, void* plugin_record);

// No arguments. Withdraws the object-create hook, destroys the settings record (which
// deletes the temporary copy of the settings file) and gives both records back to the
// server's allocator.
void SSGM_Plugin_Unload();

// `commands`: the server's record whose first field is its command table. The table is
// kept (even when refused) and accepted only with size 816 and version 174; then the 115
// functions of bhs.dll are looked up (a message box names each one missing), 33 of them
// written into the table, and the plugin starts. Returns true when the table was
// accepted, false otherwise (and then nothing else happens).
bool Set_Script_Commands(ScriptCommands* commands);

// `callback`: the server's function that destroys a script object; null turns the request
// off. The last value given wins.
void Set_Request_Destroy_Func(Request_Destroy_Fn callback);

// `name`: a script name, letters in any case. Returns a new script of the class
// registered under it, or null for an unknown name (scripts/script_registry.h).
ScriptClass* Create_Script(const char* name);

} // extern "C"
