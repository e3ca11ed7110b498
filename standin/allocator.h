// The server's allocator as the stand-in gives it to the plugin, with accounting: which
// blocks are live, frees of blocks it never gave or already took back, poisoning of new
// and freed memory, and an optional failure after a number of allocations.
#pragma once

#include <cstddef>
#include <cstdint>

namespace standin {

// The routines that Host_Alloc, Host_Alloc_Array, Host_Free and Host_Free_Array reach.
void* Allocate(uint32_t size);
void Release(void* block);

struct AllocatorCounts {
    size_t Live = 0;          // blocks handed out and not yet taken back
    size_t Allocations = 0;   // every successful allocation since the last reset
    size_t Releases = 0;      // every release of a live block
    size_t Unknown_Frees = 0; // releases of an address never handed out
    size_t Double_Frees = 0;  // releases of a block already taken back
    size_t Null_Frees = 0;    // releases of null (allowed)
    size_t Refused = 0;       // allocations refused by Fail_After
    size_t Kept = 0; // live blocks that the plugin keeps for the process (Keep_For_Process)
};

AllocatorCounts Allocator_Counts();
bool Block_Is_Live(const void* block);
// Marks a live block as one the plugin keeps for the life of the process by design (its
// vector tables), so it is not taken for a leak; null is ignored.
void Keep_For_Process(const void* block);
size_t Block_Size(const void* block);

// The allocation after `successes` more successful ones, and every later one, gives
// null; a negative value turns the failure off.
void Fail_After(long successes);

// Forgets every record; live blocks are released for real.
void Reset_Allocator();

constexpr unsigned char New_Block_Fill = 0xCD;   // memory the plugin has not written yet
constexpr unsigned char Freed_Block_Fill = 0xDD; // memory the plugin gave back

} // namespace standin
