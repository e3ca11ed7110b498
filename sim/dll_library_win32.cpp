#include "sim/dll_library.h"
#include "sim/plugin_source.h"

#include "host/calling.h"

#include <windows.h>

namespace sim {

void* Open_Library(const std::string& path, std::string& error) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (!library)
        error = path + ": cannot be loaded (Windows error " + std::to_string(GetLastError()) + ")";
    return library;
}

void* Library_Export(void* library, const char* name) {
    return Bit_Cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void Close_Library(void* library) {
    FreeLibrary(static_cast<HMODULE>(library));
}

std::string Default_Dll_Path() {
    char program[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    std::string folder(program, length < sizeof program ? length : 0);
    const size_t slash = folder.find_last_of("\\/");
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    return folder + "Tarnwick.dll";
}

} // namespace sim
