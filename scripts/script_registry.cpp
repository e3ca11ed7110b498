#include "scripts/script_registry.h"

#include "engine/ascii.h"

ScriptFactory* ScriptRegistry = nullptr;

ScriptFactory::ScriptFactory(const char* name, const char* parameter_spec)
    : Next(ScriptRegistry), Name(name), ParameterSpec(parameter_spec) {
    ScriptRegistry = this;
}

ScriptFactory::~ScriptFactory() {
    for (ScriptFactory** link = &ScriptRegistry; *link; link = &(*link)->Next)
        if (*link == this) {
            *link = Next;
            break;
        }
    Name = nullptr;
    ParameterSpec = nullptr;
}

ScriptFactory* Script_Factory_Named(const char* name) {
    if (!name)
        return nullptr;
    for (ScriptFactory* factory = ScriptRegistry; factory; factory = factory->Next)
        if (factory->Name && Ascii_Equal_Ignoring_Case(factory->Name, name))
            return factory;
    return nullptr;
}
