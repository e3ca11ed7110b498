// Loading a Windows DLL into this process, one implementation per platform: on Linux the
// stand-in's PE loader (with the stand-in's KERNEL32, USER32 and msvcrt under the DLL), on
// Windows the system's own loader. Either runs the DLL's entry point at load and unload.
#pragma once

#include <string>

namespace sim {

// The loaded library, or null with the reason.
void* Open_Library(const std::string& path, std::string& error);
void* Library_Export(void* library, const char* name); // null when it has none
void Close_Library(void* library);

} // namespace sim
