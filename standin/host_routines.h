// The server executable's routines as the stand-in serves them, in the calling forms the
// plugin uses, and the binding of the plugin against the stand-in's server image.
#pragma once

#include "host/calling.h"
#include "host/server_object.h"

#include <cstdint>

namespace standin {

void Console_Input(const char* line);
void* Find_Player(int32_t player_id);
int32_t THISCALL Get_Member_Int(const void* field);
void THISCALL C4_Remove(void* charge_part);

// Plants an image of build 0, binds the plugin against it as a server process would, and
// hands the plugin the stand-in's command table and request-destroy function. False where the image
// cannot be planted.
bool Install_Host_Routines();
// Runs the plugin's binding against whatever image is planted. The vector tables a
// binding run makes are kept by the plugin for the life of the process; the allocator is
// told so, and counts them apart from the blocks the plugin should give back.
void Bind_Host();
// Sets every entry back to null and the build to not recognised, the state of a process
// before binding.
void Clear_Host_Routines();

} // namespace standin
