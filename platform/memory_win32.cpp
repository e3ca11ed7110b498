#include "platform/platform.h"

#include <cstdint>
#include <windows.h>

namespace {

bool Region_Is_Readable(const MEMORY_BASIC_INFORMATION& region) {
    if (region.State != MEM_COMMIT)
        return false;
    const DWORD protect = region.Protect;
    if (protect & (PAGE_NOACCESS | PAGE_GUARD))
        return false;
    // PAGE_EXECUTE alone does not allow reading.
    constexpr DWORD Readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                               PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    return (protect & Readable) != 0;
}

} // namespace

// Walks the regions that cover the range: every one must be committed and readable, and
// none a guard page (touching a guard page would fire it).
bool Memory_Is_Readable(const void* address, size_t size) {
    if (size == 0)
        return true;
    uintptr_t at = reinterpret_cast<uintptr_t>(address);
    if (at > UINTPTR_MAX - (size - 1))
        return false;
    const uintptr_t last = at + (size - 1);
    for (;;) {
        MEMORY_BASIC_INFORMATION region;
        if (VirtualQuery(reinterpret_cast<const void*>(at), &region, sizeof region) == 0)
            return false;
        if (!Region_Is_Readable(region))
            return false;
        const uintptr_t base = reinterpret_cast<uintptr_t>(region.BaseAddress);
        const uintptr_t end = base + region.RegionSize; // one past the region, 0 on wrap
        if (end == 0 || last < end)
            return true;
        at = end;
    }
}
