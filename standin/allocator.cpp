#include "standin/allocator.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

namespace standin {
namespace {

struct AllocatorState {
    std::map<const void*, size_t> live;
    std::set<const void*> freed; // addresses taken back and not handed out again
    std::set<const void*> kept;  // live blocks kept for the process
    AllocatorCounts counts;
    long fail_after = -1;
};

AllocatorState& State() {
    static AllocatorState state;
    return state;
}

} // namespace

void* Allocate(uint32_t size) {
    AllocatorState& s = State();
    if (s.fail_after == 0) {
        ++s.counts.Refused;
        return nullptr;
    }
    if (s.fail_after > 0)
        --s.fail_after;
    // Never zero bytes, so every block has an address of its own.
    void* block = std::malloc(size ? size : 1);
    if (!block)
        return nullptr;
    std::memset(block, New_Block_Fill, size);
    s.live[block] = size;
    s.freed.erase(block);
    ++s.counts.Allocations;
    ++s.counts.Live;
    return block;
}

void Release(void* block) {
    AllocatorState& s = State();
    if (!block) {
        ++s.counts.Null_Frees;
        return;
    }
    auto found = s.live.find(block);
    if (found == s.live.end()) {
        if (s.freed.count(block))
            ++s.counts.Double_Frees;
        else
            ++s.counts.Unknown_Frees;
        return;
    }
    std::memset(block, Freed_Block_Fill, found->second);
    s.live.erase(found);
    s.kept.erase(block);
    s.freed.insert(block);
    --s.counts.Live;
    ++s.counts.Releases;
    std::free(block);
}

AllocatorCounts Allocator_Counts() {
    AllocatorCounts counts = State().counts;
    counts.Kept = State().kept.size();
    return counts;
}

bool Block_Is_Live(const void* block) {
    return State().live.count(block) != 0;
}

size_t Block_Size(const void* block) {
    auto found = State().live.find(block);
    return found == State().live.end() ? 0 : found->second;
}

void Keep_For_Process(const void* block) {
    if (block && Block_Is_Live(block))
        State().kept.insert(block);
}

void Fail_After(long successes) {
    State().fail_after = successes < 0 ? -1 : successes;
}

void Reset_Allocator() {
    AllocatorState& s = State();
    for (auto& block : s.live)
        std::free(const_cast<void*>(block.first));
    s.live.clear();
    s.freed.clear();
    s.kept.clear();
    s.counts = AllocatorCounts{};
    s.fail_after = -1;
}

} // namespace standin
