#include "platform/platform.h"

#include <windows.h>

void* Module_Function(void* module, const char* name) {
    if (!module || !name)
        return nullptr;
    FARPROC found = GetProcAddress(static_cast<HMODULE>(module), name);
    void* address;
    static_assert(sizeof address == sizeof found, "code and data addresses of one size");
    __builtin_memcpy(&address, &found, sizeof address);
    return address;
}
