#include "sim/dll_library.h"
#include "sim/plugin_source.h"

#include "standin/pe_loader.h"

namespace sim {

void* Open_Library(const std::string& path, std::string& error) {
    return standin::Load_Pe_Module(path, error);
}

void* Library_Export(void* library, const char* name) {
    return standin::Pe_Module_Export(static_cast<standin::PeModule*>(library), name);
}

void Close_Library(void* library) {
    standin::Unload_Pe_Module(static_cast<standin::PeModule*>(library));
}

std::string Default_Dll_Path() {
    return TARNWICK_DEFAULT_DLL;
}

} // namespace sim
