// The scripts this library offers, and the export through which the server asks for
// them. Both sit in this one file on purpose: the export is always linked, so the static
// registrants beside it are too (a registrant alone in a file nothing refers to would be
// left out of the library).
#include "rules/watch_script.h"
#include "scripts/script_registry.h"

namespace {

// Registered before any export can be called, unregistered when the library is unloaded.
ScriptRegistrant<Brask_Tarnwick> Brask_Tarnwick_Registrant(Watch_Script_Name, "");

} // namespace

extern "C" ScriptClass* Create_Script(const char* name) {
    ScriptFactory* factory = Script_Factory_Named(name);
    return factory ? factory->Build_Script() : nullptr;
}
