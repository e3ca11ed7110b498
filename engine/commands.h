// Calls into the server's command table. No command checks that the table is set: the
// server hands it over before it can call anything that reaches here.
#pragma once

#include "host/command_table.h"

inline int Cmd_Object_Exists(ServerObject object) {
    return Command_Entry<Cmd_Object_Exists_Fn>(Command_Table, Cmd_Object_Exists_Offset)(object);
}
inline const char* Cmd_Preset_Name(ServerObject object) {
    return Command_Entry<Cmd_Preset_Name_Fn>(Command_Table, Cmd_Preset_Name_Offset)(object);
}
inline void Cmd_Attach_Script(ServerObject object, const char* name, const char* parameters) {
    Command_Entry<Cmd_Attach_Script_Fn>(Command_Table, Cmd_Attach_Script_Offset)(object, name,
                                                                                 parameters);
}
inline void Cmd_Start_Timer(ServerObject object, ScriptClass* observer, float seconds, int number) {
    Command_Entry<Cmd_Start_Timer_Fn>(Command_Table, Cmd_Start_Timer_Offset)(object, observer,
                                                                             seconds, number);
}
inline bool Cmd_Is_Protected_Target(ServerObject object) {
    return Command_Entry<Cmd_Is_Protected_Target_Fn>(Command_Table,
                                                     Cmd_Is_Protected_Target_Offset)(object);
}
