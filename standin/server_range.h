// The server executable's address range, owned by this process so the stand-in can lay
// out a server image in it. One implementation per platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace standin {

constexpr uintptr_t Server_Range_Start = 0x401000;
constexpr uintptr_t Server_Range_End = 0x870000;

// Claims the range on the first call (once per process) and makes all of it readable,
// writable and executable again on every call. False, with the reason, where this
// process cannot have it.
bool Claim_Server_Range(std::string& why);

// Takes read access to the page that holds `address` away, until the next claim (the next
// planting of an image).
bool Make_Server_Page_Unreadable(uintptr_t address);

} // namespace standin
