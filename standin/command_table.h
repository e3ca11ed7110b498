// The server's command table as the stand-in gives it: 816 bytes, version 174, the
// commands the plugin uses at their offsets and a recording trap in every other entry.
#pragma once

#include "host/command_table.h"

#include <vector>

namespace standin {

// Refills the table: header, commands, and a trap at every other entry.
void Reset_Command_Table();
CommandTable& Command_Table_Instance();

// Offsets of the entries whose trap was called, in call order.
const std::vector<uint32_t>& Trap_Calls();
void Clear_Trap_Calls();

// Whether the entry at an offset is still its trap.
bool Entry_Is_Trap(const CommandTable& table, uint32_t offset);

} // namespace standin
