#include "standin/host_routines.h"

#include "engine/vector_math.h"
#include "host/command_table.h"
#include "host/host_addresses.h"
#include "scripts/script_class.h"
#include "standin/allocator.h"
#include "standin/command_table.h"
#include "standin/ini.h"
#include "standin/server_image.h"
#include "standin/world.h"

#include <cstring>

namespace standin {
namespace {

template <class Fn> ServedRoutine Serve(Routine entry, Fn code) {
    return {entry, Bit_Cast<const void*>(code)};
}

// What each jump of the server image leads to.
const ServedRoutine Routines[] = {
    Serve(Routine::Alloc, &Allocate),
    Serve(Routine::Alloc_Array, &Allocate),
    Serve(Routine::Free, &Release),
    Serve(Routine::Free_Array, &Release),
    Serve(Routine::Console_Input, &Console_Input),
    Serve(Routine::Get_Member_Int, &Get_Member_Int),
    Serve(Routine::Find_Player, &Find_Player),
    Serve(Routine::C4_Remove, &C4_Remove),
    Serve(Routine::INI_Load, &INI_Load),
    Serve(Routine::INI_Release, &INI_Release),
    Serve(Routine::INI_Get_Int, &INI_Get_Int),
    Serve(Routine::INI_Get_String, &INI_Get_String),
};

} // namespace

ServedRoutines Served_Routines() {
    return {Routines, sizeof Routines / sizeof Routines[0]};
}

void Console_Input(const char* line) {
    if (World* world = World::Current())
        world->Console_Lines.push_back(line);
}

void* Find_Player(int32_t player_id) {
    World* world = World::Current();
    return world ? world->Player_Record(player_id) : nullptr;
}

int32_t THISCALL Get_Member_Int(const void* field) {
    if (World* world = World::Current())
        ++world->Member_Int_Reads;
    int32_t value;
    std::memcpy(&value, field, sizeof value);
    return value;
}

void THISCALL C4_Remove(void* charge_part) {
    if (World* world = World::Current())
        world->Remove_Charge_Part(charge_part);
}

bool Install_Host_Routines() {
    if (!Plant_Server_Image({Exe_Kind_0}))
        return false;
    Bind_Host();
    ::Command_Table = &Command_Table_Instance();
    ::Request_Destroy_Callback = &Request_Destroy;
    return true;
}

void Bind_Host() {
    Bind_Host_Addresses();
    Keep_For_Process(Vector3_Math);
    Keep_For_Process(Vector4_Math);
}

void Clear_Host_Routines() {
    ExeKind = Exe_Kind_Unknown;
    Host_Alloc = nullptr;
    Host_Alloc_Array = nullptr;
    Host_Free = nullptr;
    Host_Free_Array = nullptr;
    Host_Console_Input = nullptr;
    Host_SSE_Flag = nullptr;
    Host_Get_Member_Int = nullptr;
    Host_Find_Player = nullptr;
    Host_C4_Remove = nullptr;
    Host_Game_Object_List = nullptr;
    Host_INI_Load = nullptr;
    Host_INI_Release = nullptr;
    Host_INI_Get_Int = nullptr;
    Host_INI_Get_String = nullptr;
    ::Command_Table = nullptr;
    ::Request_Destroy_Callback = nullptr;
}

} // namespace standin
