// Windows: the range is the start of this program's own image. The program is linked at
// the server's image base (0x400000, no relocation), and the array below, in an input
// section that GNU ld places first in .text, covers 0x401000 to 0x870000 exactly, as the
// server's code does. This needs nothing of the environment and holds in child processes.
#include "standin/server_range.h"

#include <windows.h>

namespace standin {
namespace {

constexpr size_t Range_Size = Server_Range_End - Server_Range_Start;
constexpr DWORD Page = 0x1000;

__attribute__((section(".init"), aligned(Page), used)) unsigned char range[Range_Size];

bool opened = false;

} // namespace

bool Claim_Server_Range(std::string& why) {
    if (reinterpret_cast<uintptr_t>(range) != Server_Range_Start) {
        why = "this program is not laid out with the server's range at the start of its image "
              "(link it at 0x400000 with --disable-dynamicbase)";
        return false;
    }
    DWORD previous;
    if (!VirtualProtect(range, Range_Size, PAGE_EXECUTE_READWRITE, &previous)) {
        why = "cannot make the server's address range writable";
        return false;
    }
    opened = true;
    return true;
}

bool Make_Server_Page_Unreadable(uintptr_t address) {
    if (!opened || address < Server_Range_Start || address >= Server_Range_End)
        return false;
    DWORD previous;
    return VirtualProtect(reinterpret_cast<void*>(address & ~uintptr_t(Page - 1)), Page,
                          PAGE_NOACCESS, &previous) != 0;
}

} // namespace standin
