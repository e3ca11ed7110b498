// The server executable's routines as the stand-in serves them, in the calling forms the
// plugin uses, and their installation into the plugin's address table.
#pragma once

#include "host/calling.h"
#include "host/server_object.h"

#include <cstdint>

namespace standin {

void Console_Input(const char* line);
void* Find_Player(int32_t player_id);
int32_t THISCALL Get_Member_Int(const void* field);
void THISCALL C4_Remove(void* charge_part);

// The byte behind Host_SSE_Flag.
extern unsigned char Sse_Flag;

// Points every entry of the plugin's address table at the stand-in (as a recognised
// build of the server would have it) and hands the plugin the stand-in's command table
// and request-destroy function.
void Install_Host_Routines();
// Sets every entry back to null, the state of a process whose build was not recognised.
void Clear_Host_Routines();

} // namespace standin
