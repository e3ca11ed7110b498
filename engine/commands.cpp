#include "host/command_table.h"

CommandTable* Command_Table = nullptr;
