#include "engine/host_memory.h"

#include "host/host_addresses.h"

void* Plugin_Alloc(size_t size) {
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
        return nullptr;
    return Host_Alloc_Array(static_cast<uint32_t>(size));
}

void Plugin_Free_Array(void* block) {
    if (block && Host_Free_Array)
        Host_Free_Array(block);
}
