// The stand-in's side of the script objects it gets from the plugin: the slot numbers of
// their 26-slot table, written out here on their own, and calls through the raw table
// with the thiscall convention, the way the server calls them.
#pragma once

#include "host/calling.h"
#include "host/command_table.h"
#include "host/server_object.h"

#include <cstdint>
#include <cstring>

class ScriptClass;

namespace standin {

namespace script_slot {
constexpr int Destroy = 0;
constexpr int Name = 1;
constexpr int Bind_Owner = 2;
constexpr int Unbind_Owner = 3;
constexpr int Notify_Created = 4;
constexpr int Notify_Timer = 12;
constexpr int Owner_Object = 17;
constexpr int Owner_Field = 18;
constexpr int Parse_Parameters = 19;
constexpr int Join_Parameters = 20;
constexpr int Save_Fields = 21;
constexpr int Load_Fields = 22;
constexpr int Post_Create = 25;
constexpr int Count = 26;
} // namespace script_slot

// Slot 0's flag that asks for the script's block to be given back too.
constexpr uint32_t Destroy_Free_Block = 1;

// The script's table: the address in its first word.
inline const void* const* Script_Table(const ScriptClass* script) {
    const void* const* table;
    std::memcpy(&table, script, sizeof table);
    return table;
}

template <class Fn> Fn Script_Slot(const ScriptClass* script, int slot) {
    return Bit_Cast<Fn>(Script_Table(script)[slot]);
}

inline void Script_Destroy(ScriptClass* s, uint32_t flags) {
    Script_Slot<void(THISCALL*)(ScriptClass*, uint32_t)>(s, script_slot::Destroy)(s, flags);
}
inline const char* Script_Name(ScriptClass* s) {
    return Script_Slot<const char*(THISCALL*)(ScriptClass*)>(s, script_slot::Name)(s);
}
inline void Script_Bind_Owner(ScriptClass* s, ServerObject owner) {
    Script_Slot<void(THISCALL*)(ScriptClass*, ServerObject)>(s, script_slot::Bind_Owner)(s, owner);
}
inline void Script_Unbind_Owner(ScriptClass* s) {
    Script_Slot<void(THISCALL*)(ScriptClass*, uint32_t)>(s, script_slot::Unbind_Owner)(s, 0);
}
inline void Script_Notify_Created(ScriptClass* s, ServerObject object) {
    Script_Slot<void(THISCALL*)(ScriptClass*, ServerObject)>(s, script_slot::Notify_Created)(
        s, object);
}
inline void Script_Notify_Timer(ScriptClass* s, ServerObject object, int32_t number) {
    Script_Slot<void(THISCALL*)(ScriptClass*, ServerObject, int32_t)>(s, script_slot::Notify_Timer)(
        s, object, number);
}
inline ServerObject Script_Owner_Object(ScriptClass* s) {
    return Script_Slot<ServerObject(THISCALL*)(ScriptClass*)>(s, script_slot::Owner_Object)(s);
}
inline ServerObject* Script_Owner_Field(ScriptClass* s) {
    return Script_Slot<ServerObject*(THISCALL*)(ScriptClass*)>(s, script_slot::Owner_Field)(s);
}
inline void Script_Parse_Parameters(ScriptClass* s, const char* text) {
    Script_Slot<void(THISCALL*)(ScriptClass*, const char*)>(s, script_slot::Parse_Parameters)(s,
                                                                                              text);
}
inline void Script_Join_Parameters(ScriptClass* s, char* buffer, int32_t size) {
    Script_Slot<void(THISCALL*)(ScriptClass*, char*, int32_t)>(s, script_slot::Join_Parameters)(
        s, buffer, size);
}
inline void Script_Save_Fields(ScriptClass* s, ChunkSaveData* save) {
    Script_Slot<void(THISCALL*)(ScriptClass*, ChunkSaveData*)>(s, script_slot::Save_Fields)(s,
                                                                                            save);
}
inline void Script_Load_Fields(ScriptClass* s, ChunkLoadData* load) {
    Script_Slot<void(THISCALL*)(ScriptClass*, ChunkLoadData*)>(s, script_slot::Load_Fields)(s,
                                                                                            load);
}

} // namespace standin
