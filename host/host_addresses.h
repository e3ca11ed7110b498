// Routines and data of the server executable, reached at fixed, build-dependent
// addresses. Each entry is a plain process-wide variable, null until a binding run fills
// it with the address of the recognised build (or leaves it null where that build has
// none). Nothing else in the plugin knows an address.
#pragma once

#include "host/calling.h"

#include <cstdint>

// Which server build hosts the plugin.
enum ExeKindValue : int32_t {
    Exe_Kind_0 = 0,
    Exe_Kind_1 = 1,
    Exe_Kind_4 = 4,
    Exe_Kind_Unknown = 6, // not yet recognised
};
extern int32_t ExeKind;

// Calling forms, as the plugin calls them.
using Host_Alloc_Fn = void* (*)(uint32_t size);
using Host_Free_Fn = void (*)(void* block);
using Host_Console_Input_Fn = void (*)(const char* line);
// A member routine whose object is the integer field itself (inside a server record).
using Host_Get_Member_Int_Fn = int32_t(THISCALL*)(const void* field);
using Host_Find_Player_Fn = void* (*)(int32_t player_id);
// A member routine of the charge part of a C4 object.
using Host_C4_Remove_Fn = void(THISCALL*)(void* charge_part);
using Host_INI_Load_Fn = void* (*)(const char* file_name);
using Host_INI_Release_Fn = void (*)(void* ini);
using Host_INI_Get_Int_Fn = int32_t(THISCALL*)(void* ini, const char* section, const char* key,
                                               int32_t default_value);
using Host_INI_Get_String_Fn = void(THISCALL*)(void* ini, const char* section, const char* key,
                                               const char* default_value, char* buffer,
                                               uint32_t buffer_size);

extern Host_Alloc_Fn Host_Alloc;
extern Host_Alloc_Fn Host_Alloc_Array;
extern Host_Free_Fn Host_Free;
extern Host_Free_Fn Host_Free_Array;
extern Host_Console_Input_Fn Host_Console_Input;
extern const unsigned char* Host_SSE_Flag; // one byte of server data
extern Host_Get_Member_Int_Fn Host_Get_Member_Int;
extern const void* Host_Game_Object_List; // the server's list head
extern Host_Find_Player_Fn Host_Find_Player;
extern Host_C4_Remove_Fn Host_C4_Remove;
extern Host_INI_Load_Fn Host_INI_Load;
extern Host_INI_Release_Fn Host_INI_Release;
extern Host_INI_Get_Int_Fn Host_INI_Get_Int;
extern Host_INI_Get_String_Fn Host_INI_Get_String;

// Recognises the server build and fills every entry above for it.
void Bind_Host_Addresses();
