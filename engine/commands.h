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

// Save and load of a script's chunk; every call passes back the server's handle.
inline void Cmd_Save_Begin_Chunk(ChunkSaveData* save, uint32_t id) {
    Command_Entry<Cmd_Save_Begin_Chunk_Fn>(Command_Table, Cmd_Save_Begin_Chunk_Offset)(save, id);
}
inline void Cmd_Save_Micro_Chunk(ChunkSaveData* save, uint32_t id, uint32_t size,
                                 const void* data) {
    Command_Entry<Cmd_Save_Micro_Chunk_Fn>(Command_Table, Cmd_Save_Micro_Chunk_Offset)(save, id,
                                                                                       size, data);
}
inline void Cmd_Save_End_Chunk(ChunkSaveData* save) {
    Command_Entry<Cmd_Save_End_Chunk_Fn>(Command_Table, Cmd_Save_End_Chunk_Offset)(save);
}
inline bool Cmd_Load_Open_Chunk(ChunkLoadData* load, uint32_t* id) {
    return Command_Entry<Cmd_Load_Open_Chunk_Fn>(Command_Table, Cmd_Load_Open_Chunk_Offset)(load,
                                                                                            id);
}
inline void Cmd_Load_Close_Chunk(ChunkLoadData* load) {
    Command_Entry<Cmd_Load_Close_Chunk_Fn>(Command_Table, Cmd_Load_Close_Chunk_Offset)(load);
}
inline bool Cmd_Load_Open_Micro_Chunk(ChunkLoadData* load, uint32_t* id) {
    return Command_Entry<Cmd_Load_Open_Micro_Chunk_Fn>(Command_Table,
                                                       Cmd_Load_Open_Micro_Chunk_Offset)(load, id);
}
inline void Cmd_Load_Micro_Chunk_Data(ChunkLoadData* load, uint32_t size, void* data) {
    Command_Entry<Cmd_Load_Micro_Chunk_Data_Fn>(Command_Table,
                                                Cmd_Load_Micro_Chunk_Data_Offset)(load, size, data);
}
inline void Cmd_Load_Close_Micro_Chunk(ChunkLoadData* load) {
    Command_Entry<Cmd_Load_Close_Micro_Chunk_Fn>(Command_Table,
                                                 Cmd_Load_Close_Micro_Chunk_Offset)(load);
}
