#include "baseline.h"

#include "host/calling.h"
#include "host/command_table.h"
#include "host/host_addresses.h"

#include <cstddef>
#include <cstring>

namespace {

// The server's layout, as this walk knows it.
constexpr size_t Object_Exists_Entry = 108; // command table
constexpr size_t List_First = 4;            // list head
constexpr size_t Next_Node = 0;             // node
constexpr size_t Node_Listed = 4;           // node
constexpr int Listed_Game_Object = 12;      // slot of the listed object
constexpr int Physical_Part = 9;            // slot of the game object
constexpr int Charge_Part = 35;             // slot of the physical part

template <class T> T Read(const void* at, size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(at) + offset, sizeof value);
    return value;
}

using Exists_Fn = int (*)(const void*);
using Slot_Fn = void*(THISCALL*)(const void*);

void* Call(const void* object, int slot) {
    const void* const* table = Read<const void* const*>(object, 0);
    return Bit_Cast<Slot_Fn>(table[slot])(object);
}

} // namespace

int Bare_Walk_Over_Object_List() {
    const Exists_Fn exists = Read<Exists_Fn>(Command_Table, Object_Exists_Entry);
    int charges = 0;
    for (const void* node = Read<const void*>(Host_Game_Object_List, List_First); node;
         node = Read<const void*>(node, Next_Node)) {
        const void* listed = Read<const void*>(node, Node_Listed);
        if (!exists(listed) || !listed)
            continue;
        const void* object = Call(listed, Listed_Game_Object);
        if (!object || !exists(object))
            continue;
        const void* physical = Call(object, Physical_Part);
        if (physical && Call(physical, Charge_Part))
            ++charges;
    }
    return charges;
}
