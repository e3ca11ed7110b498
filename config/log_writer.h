// The server's daily log file, as the plugin host's settings govern it, and the two small
// formatters it is built from.
#pragma once

#include "engine/text.h"

// printf-style formatting into a new text, cut to its first 2047 characters. An empty text
// when no block can be had for the result.
Text Format_String(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));

// The date part of the daily log file's name, "month-day-year" without leading zeros in
// month and day (3-7-2011). The text lives in a buffer of this function that the next
// call overwrites.
const char* Format_Date(int month, int day, int year);

// Appends "[hh:mm:ss] header message" to today's log file and echoes the bare message on
// standard output, as the plugin host's settings ask (see the .cpp). Neither text is
// changed; null reads as empty. Without the host's settings nothing is logged.
void Log_Message(const char* message, const char* header);
