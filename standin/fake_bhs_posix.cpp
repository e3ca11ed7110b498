#include "standin/fake_bhs.h"

#include "host/calling.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace standin {

namespace {

const char* Library_Path(BhsExports exports) {
    return exports == BhsExports::All ? TARNWICK_FAKE_BHS : TARNWICK_FAKE_BHS_PARTIAL;
}

template <class Fn> Fn Control(void* module, const char* name) {
    void* address = dlsym(module, name);
    if (!address) {
        std::fprintf(stderr, "fake bhs: %s is missing\n", name);
        std::abort();
    }
    return Bit_Cast<Fn>(address);
}

} // namespace

FakeBhs::FakeBhs(BhsExports exports) {
    module_ = dlopen(Library_Path(exports), RTLD_NOW | RTLD_LOCAL);
    if (!module_) {
        std::fprintf(stderr, "fake bhs: %s\n", dlerror());
        std::abort();
    }
    Control<void (*)()>(module_, "Fake_Bhs_Reset")();
}

// The library stays loaded: as in the server, bhs.dll outlives the plugin, whose
// unload may still call into it after the test has let go of its handle.
FakeBhs::~FakeBhs() {
    Control<void (*)()>(module_, "Fake_Bhs_Reset")();
}

void* FakeBhs::Function(const char* name) const {
    return dlsym(module_, name);
}

std::vector<const void*> FakeBhs::Hook_Records() const {
    std::vector<const void*> records;
    const int count = Control<int (*)()>(module_, "Fake_Bhs_Hook_Count")();
    for (int i = 0; i < count; ++i)
        records.push_back(Control<void* (*)(int)>(module_, "Fake_Bhs_Hook_Record")(i));
    return records;
}

std::vector<int> FakeBhs::Hook_Ids() const {
    std::vector<int> ids;
    const int count = Control<int (*)()>(module_, "Fake_Bhs_Hook_Count")();
    for (int i = 0; i < count; ++i)
        ids.push_back(Control<int (*)(int)>(module_, "Fake_Bhs_Hook_Id")(i));
    return ids;
}

std::vector<std::string> FakeBhs::Calls() const {
    std::vector<std::string> calls;
    const int count = Control<int (*)()>(module_, "Fake_Bhs_Call_Count")();
    for (int i = 0; i < count; ++i)
        calls.push_back(Control<const char* (*)(int)>(module_, "Fake_Bhs_Call")(i));
    return calls;
}

void FakeBhs::Object_Created(ServerObject object) const {
    Control<void (*)(void*)>(module_, "Fake_Bhs_Object_Created")(object);
}

void* Module_Without_Bhs_Functions() {
    // The maths library and what it depends on define none of the names.
    static void* const module = dlopen("libm.so.6", RTLD_NOW | RTLD_LOCAL);
    return module;
}

} // namespace standin
