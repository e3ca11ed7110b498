// bhs.dll as the simulator hands it to the plugin: a module in which the plugin finds the
// extension functions by name, and which, when the server creates a game object, calls
// every object-create hook registered with it, as the plugin host does.
#pragma once

#include "host/server_object.h"

#include <cstddef>

namespace sim {

class BhsModule {
  public:
    BhsModule(); // with no hook registered
    ~BhsModule();
    BhsModule(const BhsModule&) = delete;
    BhsModule& operator=(const BhsModule&) = delete;

    // The handle SSGM_Plugin_Load is given.
    void* Module() const;
    // The server created `object`: every registered hook is called with it.
    void Object_Created(ServerObject object) const;
    size_t Hook_Count() const;

  private:
    void* state_ = nullptr;
};

} // namespace sim
