// Windows: the simulator's own program is bhs.dll. The stand-in's fake bhs.dll is linked
// into it and the program exports the extension functions by name (the build writes its
// export list from the fake's source), so its own module handle is what the plugin gets.
#include "sim/bhs_module.h"

#include <windows.h>

extern "C" {
void Fake_Bhs_Reset();
void Fake_Bhs_Object_Created(void* object);
int Fake_Bhs_Hook_Count();
}

namespace sim {

BhsModule::BhsModule() {
    Fake_Bhs_Reset();
}

BhsModule::~BhsModule() {
    Fake_Bhs_Reset();
}

void* BhsModule::Module() const {
    return GetModuleHandleA(nullptr);
}

void BhsModule::Object_Created(ServerObject object) const {
    Fake_Bhs_Object_Created(object);
}

size_t BhsModule::Hook_Count() const {
    return static_cast<size_t>(Fake_Bhs_Hook_Count());
}

} // namespace sim
