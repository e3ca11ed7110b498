// The test's handle on the fake bhs.dll (standin/bhs/): a shared object whose records
// start empty with each handle, whose module handle is what SSGM hands the plugin, and
// through which the stand-in creates game objects as the server does, by calling every
// registered hook.
// Linux builds only (fake_bhs_posix.cpp).
#pragma once

#include "host/server_object.h"

#include <string>
#include <vector>

namespace standin {

enum class BhsExports {
    All,                       // the 115 functions
    Without_War_Blitz_And_Chat // all but New_Set_War_Blitz and AddChatHook
};

class FakeBhs {
  public:
    explicit FakeBhs(BhsExports exports = BhsExports::All);
    ~FakeBhs();
    FakeBhs(const FakeBhs&) = delete;
    FakeBhs& operator=(const FakeBhs&) = delete;

    // The module handle (a dlopen handle) that SSGM_Plugin_Load receives.
    void* Module() const { return module_; }
    // The library's own address of a function, or null.
    void* Function(const char* name) const;

    // The hook records registered and not withdrawn, in registration order, and their ids.
    std::vector<const void*> Hook_Records() const;
    std::vector<int> Hook_Ids() const;
    // The names of the library's functions called so far, in call order.
    std::vector<std::string> Calls() const;

    // The server created `object`: every registered hook is called with it.
    void Object_Created(ServerObject object) const;

  private:
    void* module_ = nullptr;
};

// A module of this process that has none of bhs.dll's functions.
void* Module_Without_Bhs_Functions();

} // namespace standin
