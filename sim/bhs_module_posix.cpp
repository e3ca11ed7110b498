// Linux: the stand-in's fake bhs.dll, a shared object of this process.
#include "sim/bhs_module.h"

#include "standin/fake_bhs.h"

namespace sim {
namespace {
standin::FakeBhs& Fake(void* state) {
    return *static_cast<standin::FakeBhs*>(state);
}
} // namespace

BhsModule::BhsModule() : state_(new standin::FakeBhs) {}

BhsModule::~BhsModule() {
    delete &Fake(state_);
}

void* BhsModule::Module() const {
    return Fake(state_).Module();
}

void BhsModule::Object_Created(ServerObject object) const {
    Fake(state_).Object_Created(object);
}

size_t BhsModule::Hook_Count() const {
    return Fake(state_).Hook_Records().size();
}

} // namespace sim
