#include "sim/plugin_source.h"

#include "host/calling.h"

#include <type_traits>

namespace sim {

std::string PluginSource::Fill_Exports(const std::function<void*(const char* name)>& address_of) {
    std::string missing;
    size_t index = 0;
    auto fill = [&](auto& entry) {
        const char* name = Export_Names[index++];
        entry = Bit_Cast<std::remove_reference_t<decltype(entry)>>(address_of(name));
        // DllMain is the loader's to call; the simulator only needs the others.
        if (!entry && index > 1)
            missing += (missing.empty() ? "" : ", ") + std::string(name);
    };
    fill(exports_.Dll_Main);
    fill(exports_.Create_Script);
    fill(exports_.Check_Version);
    fill(exports_.Plugin_Load);
    fill(exports_.Plugin_Unload);
    fill(exports_.Set_Request_Destroy_Func);
    fill(exports_.Set_Script_Commands);
    return missing;
}

} // namespace sim
