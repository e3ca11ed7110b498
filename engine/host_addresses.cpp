// The process-wide entries of the server executable, all null until bound.
#include "host/host_addresses.h"

int32_t ExeKind = Exe_Kind_Unknown;

Host_Alloc_Fn Host_Alloc = nullptr;
Host_Alloc_Fn Host_Alloc_Array = nullptr;
Host_Free_Fn Host_Free = nullptr;
Host_Free_Fn Host_Free_Array = nullptr;
Host_Console_Input_Fn Host_Console_Input = nullptr;
const unsigned char* Host_SSE_Flag = nullptr;
Host_Get_Member_Int_Fn Host_Get_Member_Int = nullptr;
const void* Host_Game_Object_List = nullptr;
Host_Find_Player_Fn Host_Find_Player = nullptr;
Host_C4_Remove_Fn Host_C4_Remove = nullptr;
Host_INI_Load_Fn Host_INI_Load = nullptr;
Host_INI_Release_Fn Host_INI_Release = nullptr;
Host_INI_Get_Int_Fn Host_INI_Get_Int = nullptr;
Host_INI_Get_String_Fn Host_INI_Get_String = nullptr;
