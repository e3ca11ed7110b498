// The few operating-system services the plugin uses, behind one small interface so the
// same code runs in the Windows DLL and in the Linux test builds. Each service has a
// `_win32.cpp` and a `_posix.cpp` implementation.
#pragma once

#include <cstddef>

// True when `size` bytes at `address` can be read in this process without a fault.
bool Memory_Is_Readable(const void* address, size_t size);

// Deletes a file by path; the result is not reported.
void Delete_File(const char* path);
// Copies a file, overwriting an existing copy; the result is not reported.
void Copy_File(const char* from, const char* to);

// A function exported by a loaded module, or null.
void* Module_Function(void* module, const char* name);
// A modal message box with no owner window; returns when it is dismissed.
void Show_Message_Box(const char* text, const char* caption, unsigned style);

// The local date and time, through one seam so tests can set the day and hour.
struct LocalTime {
    int Year, Month, Day, Hour, Minute, Second;
};
LocalTime Local_Time();
// Tests install a clock of their own; null restores the system's.
using Local_Time_Fn = LocalTime (*)();
void Set_Local_Time_Source(Local_Time_Fn source);
