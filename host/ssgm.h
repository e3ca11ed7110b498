// The records of the plugin host SSGM that the plugin reads or writes, by byte offset.
// The records belong to SSGM; the plugin touches only the fields named here.
#pragma once

#include "host/calling.h"
#include "host/server_object.h"

#include <cstddef>
#include <cstdint>

// SSGM's text form: a word left alone, 16 bytes holding the text itself while the
// capacity is at most 15 (else the address of a block from Host_Alloc), the length and
// the capacity.
struct HostString {
    uint32_t Reserved;
    union {
        char Inline[16];
        char* Block;
    } Storage;
    uint32_t Length;
    uint32_t Capacity;
};
static_assert(sizeof(HostString) == 28, "SSGM's host string is 28 bytes");
static_assert(offsetof(HostString, Storage) == 4, "text storage at byte 4");
static_assert(offsetof(HostString, Length) == 20, "length at byte 20");
static_assert(offsetof(HostString, Capacity) == 24, "capacity at byte 24");

constexpr uint32_t Host_String_Inline_Capacity = 15;

// The text of a host string, wherever it is kept.
const char* Host_String_Text(const HostString& s);

// Assigns a text: short texts in place, longer ones in a block from Host_Alloc, the old
// block given back. Returns false, leaving the string as it was, when no block can be had.
bool Host_String_Assign(HostString& s, const char* text);

// Field offsets.
constexpr size_t Version_Record_Version = 64;         // host string, written "2.0.2"
constexpr size_t Version_Record_Flag = 92;            // one byte, written 0
constexpr size_t Plugin_Record_Title = 4;             // host string
constexpr size_t Plugin_Record_Version = 36;          // host string
constexpr size_t Host_Settings_File_Log_All = 150;    // one byte
constexpr size_t Host_Settings_Console_Echo = 151;    // one byte
constexpr size_t Host_Settings_Log_File_Prefix = 196; // host string
constexpr size_t Host_Context_Section_Name = 4;       // NUL-terminated characters in place

struct PluginHostSettings; // SSGM's settings object, opaque
struct PluginHostContext;  // SSGM's context object, opaque

inline HostString& Host_String_At(void* record, size_t offset) {
    return *reinterpret_cast<HostString*>(static_cast<unsigned char*>(record) + offset);
}
inline const HostString& Host_String_At(const void* record, size_t offset) {
    return *reinterpret_cast<const HostString*>(static_cast<const unsigned char*>(record) + offset);
}
inline bool Host_Byte_At(const void* record, size_t offset) {
    return static_cast<const unsigned char*>(record)[offset] != 0;
}

// The record registered with bhs.dll; bhs.dll keeps its address and calls Callback with
// an unused value and every new game object.
using Object_Create_Callback = void (*)(void* unused, ServerObject object);
struct ObjectCreateHook {
    Object_Create_Callback Callback;
    uint32_t UserData; // always 0
};
static_assert(sizeof(ObjectCreateHook) == 8, "the hook record is two 32-bit words");
static_assert(offsetof(ObjectCreateHook, UserData) == 4, "user data at byte 4");
