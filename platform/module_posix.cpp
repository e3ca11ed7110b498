#include "platform/platform.h"

#include <dlfcn.h>

// On Linux the modules are shared objects opened with dlopen.
void* Module_Function(void* module, const char* name) {
    return module && name ? dlsym(module, name) : nullptr;
}
