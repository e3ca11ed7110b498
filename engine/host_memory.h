// Every block the plugin keeps lives in the server's memory and goes back to the
// server's allocator. These are the only doors to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

// A block from Host_Alloc, or null when the server gives none. With no allocator bound
// yet, binds first; where the build is not recognised that leaves it unbound, and null.
void* Plugin_Alloc(size_t size);
// Gives a Plugin_Alloc block back; null is accepted.
void Plugin_Free(void* block);
// The same through the array routines (binding when Host_Alloc_Array is unbound).
void* Plugin_Alloc_Array(size_t size);
void Plugin_Free_Array(void* block);

// Base for the plugin's classes: their objects come from the server's allocator. A
// failed allocation yields null and the constructor does not run.
struct HostAllocated {
    static void* operator new(size_t size) noexcept { return Plugin_Alloc(size); }
    static void operator delete(void* block) noexcept { Plugin_Free(block); }
    static void* operator new(size_t, void* place) noexcept { return place; }
    static void operator delete(void*, void*) noexcept {}
};
