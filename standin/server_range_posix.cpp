#include "standin/server_range.h"

#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace standin {
namespace {

// The mapping starts at the image base, a page below the range, as the server's does.
constexpr uintptr_t Mapping_Start = 0x400000;
constexpr size_t Mapping_Size = Server_Range_End - Mapping_Start;
constexpr int Everything = PROT_READ | PROT_WRITE | PROT_EXEC;

bool claimed = false;

void* At(uintptr_t address) {
    return reinterpret_cast<void*>(address);
}

} // namespace

bool Claim_Server_Range(std::string& why) {
    if (!claimed) {
        // Where MAP_FIXED_NOREPLACE is only a hint (older kernels, qemu-user), the mapping
        // may land elsewhere: the address must be checked, never assumed.
        void* got = mmap(At(Mapping_Start), Mapping_Size, Everything,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
        if (got == MAP_FAILED) {
            why = std::string("cannot map the server's address range: ") + std::strerror(errno);
            return false;
        }
        if (got != At(Mapping_Start)) {
            munmap(got, Mapping_Size);
            why = "the server's address range is taken in this process";
            return false;
        }
        claimed = true;
    }
    // A test may have taken access to a page away.
    if (mprotect(At(Mapping_Start), Mapping_Size, Everything) != 0) {
        why = std::string("cannot open the server's address range: ") + std::strerror(errno);
        return false;
    }
    return true;
}

bool Make_Server_Page_Unreadable(uintptr_t address) {
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    if (!claimed || address < Server_Range_Start || address >= Server_Range_End)
        return false;
    return mprotect(At(address & ~(page - 1)), page, PROT_NONE) == 0;
}

} // namespace standin
