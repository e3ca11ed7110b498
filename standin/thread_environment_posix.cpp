// The calling thread's Windows thread environment block. Code built for Windows reaches
// it through the FS segment: its own address at FS:0x18, the stack bounds at FS:4 and
// FS:8, the thread's static TLS blocks through FS:0x2c (mingw's DLL start-up code reads
// the stack base to tell one thread from another). On 32-bit Linux, glibc uses GS and
// leaves FS free, so a thread-area descriptor for a block of our own serves as the FS
// segment.
#include "standin/windows_api.h"

#include <asm/ldt.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace standin {

namespace {

constexpr size_t Teb_Size = 0x1000;
constexpr size_t Teb_Exception_List = 0x00;
constexpr size_t Teb_Stack_Base = 0x04;
constexpr size_t Teb_Stack_Limit = 0x08;
constexpr size_t Teb_Self = 0x18;
constexpr size_t Teb_Tls_Pointer = 0x2c;
constexpr size_t Teb_Peb = 0x30;
constexpr uint32_t Tls_Index_Count = 64;

struct ThreadEnvironment {
    alignas(16) unsigned char Teb[Teb_Size];
    unsigned char Peb[Teb_Size];
    void* Tls_Blocks[Tls_Index_Count];
    bool Index_Used[Tls_Index_Count];
};

thread_local ThreadEnvironment* environment = nullptr;

void Put(unsigned char* block, size_t offset, uint32_t value) {
    std::memcpy(block + offset, &value, sizeof value);
}

uint32_t Address(const void* p) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p));
}

} // namespace

void Ensure_Thread_Environment() {
    if (environment)
        return;
    auto* env = static_cast<ThreadEnvironment*>(std::calloc(1, sizeof(ThreadEnvironment)));
    if (!env) {
        std::fprintf(stderr, "thread environment: out of memory\n");
        std::abort();
    }
    pthread_attr_t attributes;
    void* stack_low = nullptr;
    size_t stack_size = 0;
    if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
        pthread_attr_getstack(&attributes, &stack_low, &stack_size);
        pthread_attr_destroy(&attributes);
    }
    Put(env->Teb, Teb_Exception_List, 0xffffffffu); // end of the (empty) handler chain
    Put(env->Teb, Teb_Stack_Base, Address(static_cast<char*>(stack_low) + stack_size));
    Put(env->Teb, Teb_Stack_Limit, Address(stack_low));
    Put(env->Teb, Teb_Self, Address(env->Teb));
    Put(env->Teb, Teb_Tls_Pointer, Address(env->Tls_Blocks));
    Put(env->Teb, Teb_Peb, Address(env->Peb));

    user_desc segment{};
    segment.entry_number = static_cast<unsigned>(-1); // any free thread-area entry
    segment.base_addr = Address(env->Teb);
    segment.limit = Teb_Size - 1;
    segment.seg_32bit = 1;
    segment.contents = 0; // data, expand-up
    segment.read_exec_only = 0;
    segment.limit_in_pages = 0;
    segment.seg_not_present = 0;
    segment.useable = 1;
    if (syscall(SYS_set_thread_area, &segment) != 0) {
        std::perror("thread environment: set_thread_area");
        std::abort();
    }
    const uint16_t selector = static_cast<uint16_t>((segment.entry_number << 3) | 3);
    asm volatile("movw %0, %%fs" : : "r"(selector));
    environment = env;
}

uint32_t Allocate_Static_Tls(void* block) {
    Ensure_Thread_Environment();
    for (uint32_t i = 0; i < Tls_Index_Count; ++i) {
        if (!environment->Index_Used[i]) {
            environment->Index_Used[i] = true;
            environment->Tls_Blocks[i] = block;
            return i;
        }
    }
    return Tls_Index_Count;
}

void* Release_Static_Tls(uint32_t index) {
    if (!environment || index >= Tls_Index_Count || !environment->Index_Used[index])
        return nullptr;
    void* block = environment->Tls_Blocks[index];
    environment->Tls_Blocks[index] = nullptr;
    environment->Index_Used[index] = false;
    return block;
}

} // namespace standin
