// The library's entry point, called by the operating system's loader (after the static
// registration of the script factories).
#include "plugin/plugin_lifecycle.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        // The plugin has no use for thread attach and detach notifications.
        DisableThreadLibraryCalls(module);
        Plugin_Attach();
    }
    return TRUE;
}
