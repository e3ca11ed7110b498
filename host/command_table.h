// The server's table of script commands, used in place.
//
// A header (size, version) and then function addresses, 4 bytes each, at fixed byte
// offsets. The plugin accepts only the layout it was made for: 816 bytes, version 174.
#pragma once

#include "host/calling.h"
#include "host/server_object.h"

#include <cstdint>

constexpr uint32_t Command_Table_Size = 816;
constexpr uint32_t Command_Table_Version = 174;

struct CommandTable {
    uint32_t Size;
    uint32_t Version;
    unsigned char Entries[Command_Table_Size - 8];
};
static_assert(sizeof(CommandTable) == 816, "the server's command table is 816 bytes");

// The table the server handed over; null until Set_Script_Commands stores it.
extern CommandTable* Command_Table;

class ScriptClass;

// Byte offsets (from the start of the table) of the commands the plugin calls.
enum CommandOffset : uint32_t {
    Cmd_Object_Exists_Offset = 108,
    Cmd_Preset_Name_Offset = 116,
    Cmd_Attach_Script_Offset = 120,
    Cmd_Start_Timer_Offset = 128,
    Cmd_Is_Protected_Target_Offset = 280,
    Cmd_Save_Micro_Chunk_Offset = 320,
    Cmd_Load_Open_Micro_Chunk_Offset = 328,
    Cmd_Load_Micro_Chunk_Data_Offset = 332,
    Cmd_Load_Close_Micro_Chunk_Offset = 340,
    Cmd_Save_Begin_Chunk_Offset = 344,
    Cmd_Save_End_Chunk_Offset = 348,
    Cmd_Load_Open_Chunk_Offset = 352,
    Cmd_Load_Close_Chunk_Offset = 356,
};

// Save and load handles are the server's; the plugin only passes them back.
struct ChunkSaveData;
struct ChunkLoadData;

// Every command is a plain cdecl function.
using Cmd_Object_Exists_Fn = int (*)(ServerObject object);
using Cmd_Preset_Name_Fn = const char* (*)(ServerObject object);
using Cmd_Attach_Script_Fn = void (*)(ServerObject object, const char* script_name,
                                      const char* parameters);
using Cmd_Start_Timer_Fn = void (*)(ServerObject object, ScriptClass* observer, float seconds,
                                    int timer_number);
using Cmd_Is_Protected_Target_Fn = bool (*)(ServerObject object);
using Cmd_Save_Micro_Chunk_Fn = void (*)(ChunkSaveData* save, uint32_t id, uint32_t size,
                                         const void* data);
using Cmd_Load_Open_Micro_Chunk_Fn = bool (*)(ChunkLoadData* load, uint32_t* id);
using Cmd_Load_Micro_Chunk_Data_Fn = void (*)(ChunkLoadData* load, uint32_t size, void* data);
using Cmd_Load_Close_Micro_Chunk_Fn = void (*)(ChunkLoadData* load);
using Cmd_Save_Begin_Chunk_Fn = void (*)(ChunkSaveData* save, uint32_t id);
using Cmd_Save_End_Chunk_Fn = void (*)(ChunkSaveData* save);
using Cmd_Load_Open_Chunk_Fn = bool (*)(ChunkLoadData* load, uint32_t* id);
using Cmd_Load_Close_Chunk_Fn = void (*)(ChunkLoadData* load);

// The entry at a byte offset of a table, read as the function type Fn.
template <class Fn> inline Fn Command_Entry(const CommandTable* table, uint32_t offset) {
    Fn fn;
    std::memcpy(&fn, reinterpret_cast<const unsigned char*>(table) + offset, sizeof fn);
    return fn;
}

inline void Set_Command_Entry(CommandTable* table, uint32_t offset, const void* address) {
    std::memcpy(reinterpret_cast<unsigned char*>(table) + offset, &address, sizeof address);
}
