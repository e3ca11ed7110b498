#include "engine/host_memory.h"

#include "host/host_addresses.h"

// An allocation that finds no allocator bound binds first: it may come before the attach
// handler has bound, or after a build was not recognised (then it stays null and so does
// the block). A release never binds: its block came from an allocation that did.

void* Plugin_Alloc(size_t size) {
    if (!Host_Alloc)
        Bind_Host_Addresses();
    if (!Host_Alloc)
        return nullptr;
    return Host_Alloc(static_cast<uint32_t>(size));
}

void Plugin_Free(void* block) {
    if (block && Host_Free)
        Host_Free(block);
}

void* Plugin_Alloc_Array(size_t size) {
    if (!Host_Alloc_Array)
        Bind_Host_Addresses();
    if (!Host_Alloc_Array)
        return nullptr;
    return Host_Alloc_Array(static_cast<uint32_t>(size));
}

void Plugin_Free_Array(void* block) {
    if (block && Host_Free_Array)
        Host_Free_Array(block);
}
