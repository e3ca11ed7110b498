// The registry of script factories that Create_Script searches by name: a singly linked
// list, filled by static registration when the library is loaded and emptied by the
// factories' destructors when it is unloaded.
#pragma once

#include "engine/host_memory.h"
#include "scripts/script_class.h"

#include <new>
#include <type_traits>

// A registry entry. Its own destructor takes it out of the registry; the server never
// destroys a factory, so an ordinary virtual destructor serves.
class ScriptFactory : public HostAllocated {
  public:
    // Links the factory at the head of the registry. Both texts are borrowed.
    ScriptFactory(const char* name, const char* parameter_spec);
    virtual ~ScriptFactory();
    ScriptFactory(const ScriptFactory&) = delete;
    ScriptFactory& operator=(const ScriptFactory&) = delete;

    // A new, unbound script of the factory's class, or null when no block can be had.
    virtual ScriptClass* THISCALL Build_Script() = 0;

    ScriptFactory* Next = nullptr;
    const char* Name;
    const char* ParameterSpec;
};
static_assert(sizeof(ScriptFactory) == 16, "a factory is its table and three words");

// Head of the registry; null when it is empty.
extern ScriptFactory* ScriptRegistry;

// The factory of one script class.
template <class Script> class ScriptRegistrant : public ScriptFactory {
    static_assert(std::is_base_of<ScriptImpClass, Script>::value,
                  "scripts derive from ScriptImpClass");
    // Slot 0 gives a script's resources back but runs no C++ destructor (there is no
    // virtual one), so a script class must have nothing for a destructor to do.
    static_assert(std::is_trivially_destructible<Script>::value,
                  "a script class must be trivially destructible");

  public:
    using ScriptFactory::ScriptFactory;

    ScriptClass* THISCALL Build_Script() override {
        void* block = Plugin_Alloc(sizeof(Script));
        if (!block)
            return nullptr;
        Script* script = new (block) Script;
        script->Factory = this;
        script->Post_Create();
        return script;
    }
};

// The first factory whose name equals `name` with ASCII letters in either case; null for
// a null name or when there is none.
ScriptFactory* Script_Factory_Named(const char* name);

// The server's way to ask for a script by name: a new script of the registered class,
// or null for a null or unknown name (or when no block can be had).
extern "C" ScriptClass* Create_Script(const char* name);
