#include "standin/host_routines.h"

#include "host/command_table.h"
#include "host/host_addresses.h"
#include "scripts/script_class.h"
#include "standin/allocator.h"
#include "standin/command_table.h"
#include "standin/ini.h"
#include "standin/world.h"

#include <cstring>

namespace standin {

unsigned char Sse_Flag = 0;

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

void Install_Host_Routines() {
    ExeKind = Exe_Kind_0;
    Host_Alloc = &Allocate;
    Host_Alloc_Array = &Allocate;
    Host_Free = &Release;
    Host_Free_Array = &Release;
    Host_Console_Input = &Console_Input;
    Host_SSE_Flag = &Sse_Flag;
    Host_Get_Member_Int = &Get_Member_Int;
    Host_Find_Player = &Find_Player;
    Host_C4_Remove = &C4_Remove;
    Host_Game_Object_List = World::Current() ? World::Current()->List_Head() : nullptr;
    Host_INI_Load = &INI_Load;
    Host_INI_Release = &INI_Release;
    Host_INI_Get_Int = &INI_Get_Int;
    Host_INI_Get_String = &INI_Get_String;
    ::Command_Table = &Command_Table_Instance();
    ::Request_Destroy_Callback = &Request_Destroy;
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
