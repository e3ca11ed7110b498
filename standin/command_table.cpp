#include "standin/command_table.h"

#include "standin/chunk_stream.h"
#include "standin/world.h"

#include <utility>

namespace standin {
namespace {

CommandTable table;
std::vector<uint32_t> trap_calls;

// One trap per entry, so a call tells which entry it came through. cdecl leaves the
// arguments to the caller, so a trap may be called with any of them.
template <uint32_t Offset> void Trap() {
    trap_calls.push_back(Offset);
}

constexpr uint32_t Entry_Count = Command_Table_Size / 4;
using Trap_Fn = void (*)();

template <size_t... Index> const Trap_Fn* Trap_List(std::index_sequence<Index...>) {
    static const Trap_Fn traps[] = {&Trap<static_cast<uint32_t>(Index * 4)>...};
    return traps;
}

const Trap_Fn* Traps() {
    return Trap_List(std::make_index_sequence<Entry_Count>());
}

// Puts a command at its offset; the type is the command's calling form.
template <class Fn> void Serve(uint32_t offset, Fn command) {
    Set_Command_Entry(&table, offset, Bit_Cast<const void*>(command));
}

} // namespace

void Reset_Command_Table() {
    table.Size = Command_Table_Size;
    table.Version = Command_Table_Version;
    for (uint32_t offset = 8; offset < Command_Table_Size; offset += 4)
        Set_Command_Entry(&table, offset, Bit_Cast<const void*>(Traps()[offset / 4]));
    Set_Command_Entry(&table, Cmd_Object_Exists_Offset,
                      Bit_Cast<const void*>(static_cast<Cmd_Object_Exists_Fn>(&Object_Exists)));
    Set_Command_Entry(&table, Cmd_Preset_Name_Offset,
                      Bit_Cast<const void*>(static_cast<Cmd_Preset_Name_Fn>(&Preset_Name)));
    Set_Command_Entry(
        &table, Cmd_Is_Protected_Target_Offset,
        Bit_Cast<const void*>(static_cast<Cmd_Is_Protected_Target_Fn>(&Is_Protected_Target)));
    // The script commands.
    Serve<Cmd_Attach_Script_Fn>(Cmd_Attach_Script_Offset, &Attach_Script);
    Serve<Cmd_Start_Timer_Fn>(Cmd_Start_Timer_Offset, &Start_Timer);
    Serve<Cmd_Save_Micro_Chunk_Fn>(Cmd_Save_Micro_Chunk_Offset, &Save_Micro_Chunk);
    Serve<Cmd_Load_Open_Micro_Chunk_Fn>(Cmd_Load_Open_Micro_Chunk_Offset, &Load_Open_Micro_Chunk);
    Serve<Cmd_Load_Micro_Chunk_Data_Fn>(Cmd_Load_Micro_Chunk_Data_Offset, &Load_Micro_Chunk_Data);
    Serve<Cmd_Load_Close_Micro_Chunk_Fn>(Cmd_Load_Close_Micro_Chunk_Offset,
                                         &Load_Close_Micro_Chunk);
    Serve<Cmd_Save_Begin_Chunk_Fn>(Cmd_Save_Begin_Chunk_Offset, &Save_Begin_Chunk);
    Serve<Cmd_Save_End_Chunk_Fn>(Cmd_Save_End_Chunk_Offset, &Save_End_Chunk);
    Serve<Cmd_Load_Open_Chunk_Fn>(Cmd_Load_Open_Chunk_Offset, &Load_Open_Chunk);
    Serve<Cmd_Load_Close_Chunk_Fn>(Cmd_Load_Close_Chunk_Offset, &Load_Close_Chunk);
    trap_calls.clear();
}

CommandTable& Command_Table_Instance() {
    return table;
}

const std::vector<uint32_t>& Trap_Calls() {
    return trap_calls;
}

void Clear_Trap_Calls() {
    trap_calls.clear();
}

bool Entry_Is_Trap(const CommandTable& t, uint32_t offset) {
    return offset >= 8 && offset < Command_Table_Size &&
           Command_Entry<const void*>(&t, offset) == Bit_Cast<const void*>(Traps()[offset / 4]);
}

} // namespace standin
