// Receiving the server's command table and completing it with bhs.dll's functions.
#pragma once

#include "plugin/exports.h"

#include <cstdint>

// How many functions of bhs.dll are looked up, and how many of them go into the table.
constexpr uint32_t Bhs_Function_Count = 115;
constexpr uint32_t Bhs_Table_Entry_Count = 33;

// The message box for a function bhs.dll lacks: this text, the name as the caption.
constexpr char Missing_Function_Text[] = "Error getting function address from bhs.dll";
constexpr unsigned Missing_Function_Style = 0x30; // warning icon, OK button

// Looks every function up in Bhs_Module, in order, reporting each missing one, and
// stores each address (null included) into its table entry or variable.
void Look_Up_Bhs_Functions(CommandTable* table);
