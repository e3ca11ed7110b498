// KERNEL32, USER32 and msvcrt as far as the loaded DLL uses them. Every function here is
// called from DLL code built for Windows, which keeps the stack aligned only to 4 bytes,
// so each one realigns it before it calls into this process's C library.
#include "standin/windows_api.h"

#include "standin/message_boxes.h"
#include "standin/pe_loader.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <strings.h>
#include <utility>

namespace standin {

namespace {

#define WINAPI_IMPL __attribute__((stdcall, force_align_arg_pointer))
#define CRT_IMPL __attribute__((force_align_arg_pointer))

using BOOL = int;
using DWORD = uint32_t;
using WCHAR = uint16_t; // Windows' wide characters are UTF-16 units

constexpr DWORD Error_File_Not_Found = 2;
constexpr DWORD Error_Access_Denied = 5;
constexpr DWORD Error_File_Exists = 80;
constexpr DWORD Error_Mod_Not_Found = 126;
constexpr DWORD Error_Proc_Not_Found = 127;
constexpr DWORD Error_Partial_Copy = 299;

thread_local DWORD last_error = 0;
std::vector<const void*> disabled_thread_calls;

// ---------------------------------------------------------------------------------------
// Memory

// Readable without a fault: the kernel copies the bytes into a pipe and reports EFAULT
// instead of faulting. (process_vm_readv would be the direct way, but qemu-user lacks it.)
bool Readable(const void* address, size_t size) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    bool readable = true;
    const auto* p = static_cast<const unsigned char*>(address);
    while (size > 0 && readable) {
        const size_t chunk = size < 4096 ? size : 4096;
        readable = write(ends[1], p, chunk) == static_cast<ssize_t>(chunk);
        char sink[4096];
        while (read(ends[0], sink, sizeof sink) > 0) {
        }
        p += chunk;
        size -= chunk;
    }
    close(ends[0]);
    close(ends[1]);
    return readable;
}

struct MemoryBasicInformation {
    void* Base_Address;
    void* Allocation_Base;
    DWORD Allocation_Protect;
    uint32_t Region_Size;
    DWORD State;
    DWORD Protect;
    DWORD Type;
};
static_assert(sizeof(MemoryBasicInformation) == 28, "MEMORY_BASIC_INFORMATION of Win32");

constexpr DWORD Mem_Commit = 0x1000;
constexpr DWORD Mem_Free = 0x10000;
constexpr DWORD Mem_Private = 0x20000;
constexpr DWORD Page_No_Access = 0x01;
constexpr DWORD Page_Execute_Read_Write = 0x40;
constexpr uintptr_t Page_Size = 4096;

// One page at a time: a readable page is reported committed and fully accessible (the
// loaded image is mapped read-write-execute), any other page free.
WINAPI_IMPL uint32_t Virtual_Query(const void* address, MemoryBasicInformation* info,
                                   uint32_t length) {
    if (!info || length < sizeof *info) {
        last_error = 24; // ERROR_BAD_LENGTH
        return 0;
    }
    void* page = reinterpret_cast<void*>(reinterpret_cast<uintptr_t>(address) & ~(Page_Size - 1));
    const bool readable = Readable(page, 1);
    *info = MemoryBasicInformation{page,
                                   readable ? page : nullptr,
                                   readable ? Page_Execute_Read_Write : 0,
                                   Page_Size,
                                   readable ? Mem_Commit : Mem_Free,
                                   readable ? Page_Execute_Read_Write : Page_No_Access,
                                   readable ? Mem_Private : 0};
    return sizeof *info;
}

// The loaded image is writable and executable already; only the answer is kept right.
WINAPI_IMPL BOOL Virtual_Protect(void*, uint32_t, DWORD, DWORD* old_protect) {
    if (old_protect)
        *old_protect = Page_Execute_Read_Write;
    return 1;
}

WINAPI_IMPL void* Get_Current_Process() {
    return reinterpret_cast<void*>(static_cast<intptr_t>(-1));
}

WINAPI_IMPL BOOL Read_Process_Memory(void*, const void* from, void* to, uint32_t size,
                                     uint32_t* copied) {
    if (copied)
        *copied = 0;
    if (!Readable(from, size)) {
        last_error = Error_Partial_Copy;
        return 0;
    }
    std::memcpy(to, from, size);
    if (copied)
        *copied = size;
    return 1;
}

WINAPI_IMPL BOOL Is_Bad_Read_Ptr(const void* address, uint32_t size) {
    return !Readable(address, size);
}

// ---------------------------------------------------------------------------------------
// Errors, threads, synchronisation

WINAPI_IMPL DWORD Get_Last_Error() {
    return last_error;
}

WINAPI_IMPL void Set_Last_Error(DWORD error) {
    last_error = error;
}

WINAPI_IMPL void Sleep_Ms(DWORD milliseconds) {
    usleep(static_cast<useconds_t>(milliseconds) * 1000);
}

WINAPI_IMPL DWORD Get_Current_Thread_Id() {
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(&last_error));
}

WINAPI_IMPL BOOL Disable_Thread_Library_Calls(void* module) {
    disabled_thread_calls.push_back(module);
    return 1;
}

// A CRITICAL_SECTION is 24 bytes the caller owns; its first word holds the recursive
// mutex that stands for it.
struct CriticalSection {
    pthread_mutex_t* Mutex;
    uint32_t Unused[5];
};
static_assert(sizeof(CriticalSection) == 24, "CRITICAL_SECTION of Win32");

WINAPI_IMPL void Initialize_Critical_Section(CriticalSection* section) {
    auto* mutex = static_cast<pthread_mutex_t*>(std::malloc(sizeof(pthread_mutex_t)));
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(mutex, &attributes);
    pthread_mutexattr_destroy(&attributes);
    *section = CriticalSection{mutex, {}};
}

WINAPI_IMPL void Delete_Critical_Section(CriticalSection* section) {
    if (section->Mutex) {
        pthread_mutex_destroy(section->Mutex);
        std::free(section->Mutex);
        section->Mutex = nullptr;
    }
}

WINAPI_IMPL void Enter_Critical_Section(CriticalSection* section) {
    if (section->Mutex)
        pthread_mutex_lock(section->Mutex);
}

WINAPI_IMPL void Leave_Critical_Section(CriticalSection* section) {
    if (section->Mutex)
        pthread_mutex_unlock(section->Mutex);
}

constexpr DWORD Tls_Slots = 64;
constexpr DWORD Tls_Out_Of_Indexes = 0xffffffff;
bool tls_used[Tls_Slots];
thread_local void* tls_values[Tls_Slots];

WINAPI_IMPL DWORD Tls_Alloc() {
    for (DWORD i = 0; i < Tls_Slots; ++i) {
        if (!tls_used[i]) {
            tls_used[i] = true;
            tls_values[i] = nullptr;
            return i;
        }
    }
    return Tls_Out_Of_Indexes;
}

WINAPI_IMPL BOOL Tls_Free(DWORD index) {
    if (index >= Tls_Slots || !tls_used[index])
        return 0;
    tls_used[index] = false;
    return 1;
}

WINAPI_IMPL void* Tls_Get_Value(DWORD index) {
    if (index >= Tls_Slots) {
        last_error = 87; // ERROR_INVALID_PARAMETER
        return nullptr;
    }
    last_error = 0;
    return tls_values[index];
}

WINAPI_IMPL BOOL Tls_Set_Value(DWORD index, void* value) {
    if (index >= Tls_Slots)
        return 0;
    tls_values[index] = value;
    return 1;
}

// ---------------------------------------------------------------------------------------
// Modules

std::string Narrow(const WCHAR* wide) {
    std::string out;
    for (; wide && *wide; ++wide)
        out.push_back(*wide < 0x80 ? static_cast<char>(*wide) : '?');
    return out;
}

// A module name as Windows completes it: without an extension, ".dll" is meant.
PeModule* Loaded_Module(const std::string& name) {
    const size_t slash = name.find_last_of("/\\");
    const std::string file = slash == std::string::npos ? name : name.substr(slash + 1);
    return Pe_Module_Named((file.find('.') == std::string::npos ? file + ".dll" : file).c_str());
}

void* Main_Program() {
    static void* const self = dlopen(nullptr, RTLD_NOW);
    return self;
}

void* Module_Handle(const std::string* name) {
    if (!name)
        return Main_Program();
    if (PeModule* m = Loaded_Module(*name))
        return Pe_Module_Handle(m);
    last_error = Error_Mod_Not_Found;
    return nullptr;
}

WINAPI_IMPL void* Get_Module_Handle_A(const char* name) {
    const std::string text = name ? name : "";
    return Module_Handle(name ? &text : nullptr);
}

WINAPI_IMPL void* Get_Module_Handle_W(const WCHAR* name) {
    const std::string text = Narrow(name);
    return Module_Handle(name ? &text : nullptr);
}

// Only modules already loaded (by the test) can be had: the DLL's own runtime asks for
// optional helper DLLs, which are not there, as on a bare Windows.
WINAPI_IMPL void* Load_Library_A(const char* name) {
    return name ? Get_Module_Handle_A(name) : nullptr;
}

WINAPI_IMPL BOOL Free_Library(void* module) {
    return module ? 1 : 0;
}

// A PE module answers from its export table (by name, or by ordinal when the "name" is
// a number below 0x10000); any other handle is a shared object of this process.
WINAPI_IMPL void* Get_Proc_Address(void* module, const char* name) {
    void* found = nullptr;
    if (!module || !name) {
        found = nullptr;
    } else if (PeModule* m = Pe_Module_From_Handle(module)) {
        const auto ordinal = reinterpret_cast<uintptr_t>(name);
        found = ordinal < 0x10000 ? Pe_Module_Export_Ordinal(m, static_cast<uint32_t>(ordinal))
                                  : Pe_Module_Export(m, name);
    } else if (reinterpret_cast<uintptr_t>(name) >= 0x10000) {
        found = dlsym(module, name);
    }
    if (!found)
        last_error = Error_Proc_Not_Found;
    return found;
}

// ---------------------------------------------------------------------------------------
// Files and text

WINAPI_IMPL BOOL Copy_File_A(const char* from, const char* to, BOOL fail_if_exists) {
    if (fail_if_exists && access(to, F_OK) == 0) {
        last_error = Error_File_Exists;
        return 0;
    }
    FILE* in = std::fopen(from, "rb");
    if (!in) {
        last_error = Error_File_Not_Found;
        return 0;
    }
    FILE* out = std::fopen(to, "wb");
    if (!out) {
        std::fclose(in);
        last_error = Error_Access_Denied;
        return 0;
    }
    char buffer[8192];
    bool ok = true;
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
        ok = ok && std::fwrite(buffer, 1, n, out) == n;
    ok = !std::ferror(in) && ok;
    std::fclose(in);
    ok = std::fclose(out) == 0 && ok;
    if (!ok)
        last_error = Error_Access_Denied;
    return ok ? 1 : 0;
}

WINAPI_IMPL BOOL Delete_File_A(const char* path) {
    if (unlink(path) == 0)
        return 1;
    last_error = errno == ENOENT ? Error_File_Not_Found : Error_Access_Denied;
    return 0;
}

struct SystemTime {
    uint16_t Year, Month, Day_Of_Week, Day, Hour, Minute, Second, Milliseconds;
};

WINAPI_IMPL void Get_Local_Time(SystemTime* out) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    *out = SystemTime{
        static_cast<uint16_t>(local.tm_year + 1900), static_cast<uint16_t>(local.tm_mon + 1),
        static_cast<uint16_t>(local.tm_wday),        static_cast<uint16_t>(local.tm_mday),
        static_cast<uint16_t>(local.tm_hour),        static_cast<uint16_t>(local.tm_min),
        static_cast<uint16_t>(local.tm_sec),         static_cast<uint16_t>(now.tv_nsec / 1000000)};
}

WINAPI_IMPL BOOL Is_Dbcs_Lead_Byte_Ex(unsigned, unsigned char) {
    return 0;
}

// Code pages are not distinguished: bytes are Latin-1, characters above 0xff become '?'.
WINAPI_IMPL int Multi_Byte_To_Wide_Char(unsigned, DWORD, const char* in, int in_length, WCHAR* out,
                                        int out_length) {
    if (!in)
        return 0;
    const int count = in_length < 0 ? static_cast<int>(std::strlen(in)) + 1 : in_length;
    if (out_length == 0)
        return count;
    if (out_length < count) {
        last_error = 122; // ERROR_INSUFFICIENT_BUFFER
        return 0;
    }
    for (int i = 0; i < count; ++i)
        out[i] = static_cast<unsigned char>(in[i]);
    return count;
}

WINAPI_IMPL int Wide_Char_To_Multi_Byte(unsigned, DWORD, const WCHAR* in, int in_length, char* out,
                                        int out_length, const char*, BOOL* used_default) {
    if (!in)
        return 0;
    int count = in_length;
    if (count < 0)
        for (count = 0; in[count++];) {
        }
    if (used_default)
        *used_default = 0;
    if (out_length == 0)
        return count;
    if (out_length < count) {
        last_error = 122;
        return 0;
    }
    for (int i = 0; i < count; ++i) {
        const bool fits = in[i] <= 0xff;
        out[i] = fits ? static_cast<char>(in[i]) : '?';
        if (!fits && used_default)
            *used_default = 1;
    }
    return count;
}

// ---------------------------------------------------------------------------------------
// msvcrt

// msvcrt's FILE is 32 bytes; `_iob` is its array of them, of which the first three are
// stdin, stdout and stderr. The DLL only passes their addresses back, so a zeroed array
// stands for them, and each address is mapped to this process's stream.
constexpr int Iob_Count = 20;
struct MsvcrtFile {
    unsigned char Bytes[32];
};
MsvcrtFile iob[Iob_Count];

FILE* Stream(void* file) {
    auto* f = static_cast<MsvcrtFile*>(file);
    if (f >= iob && f < iob + Iob_Count) {
        switch (f - iob) {
        case 0:
            return stdin;
        case 1:
            return stdout;
        case 2:
            return stderr;
        default:
            return nullptr;
        }
    }
    return static_cast<FILE*>(file); // opened through fopen below
}

CRT_IMPL MsvcrtFile* Iob_Func() {
    return iob;
}

CRT_IMPL void* Fopen(const char* path, const char* mode) {
    return std::fopen(path, mode);
}

CRT_IMPL int Fclose(void* file) {
    FILE* f = Stream(file);
    if (!f || f == stdin || f == stdout || f == stderr)
        return f ? std::fflush(f) : EOF;
    return std::fclose(f);
}

CRT_IMPL int Fflush(void* file) {
    return std::fflush(file ? Stream(file) : nullptr);
}

CRT_IMPL size_t Fwrite(const void* data, size_t size, size_t count, void* file) {
    FILE* f = Stream(file);
    return f ? std::fwrite(data, size, count, f) : 0;
}

CRT_IMPL size_t Fread(void* data, size_t size, size_t count, void* file) {
    FILE* f = Stream(file);
    return f ? std::fread(data, size, count, f) : 0;
}

CRT_IMPL int Fputc(int c, void* file) {
    FILE* f = Stream(file);
    return f ? std::fputc(c, f) : EOF;
}

CRT_IMPL int Fputs(const char* text, void* file) {
    FILE* f = Stream(file);
    return f ? std::fputs(text, f) : EOF;
}

CRT_IMPL int Puts(const char* text) {
    return std::puts(text);
}

CRT_IMPL int Putchar(int c) {
    return std::putchar(c);
}

CRT_IMPL int Vfprintf(void* file, const char* format, va_list args) {
    FILE* f = Stream(file);
    return f ? std::vfprintf(f, format, args) : -1;
}

CRT_IMPL int Fprintf(void* file, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int n = Vfprintf(file, format, args);
    va_end(args);
    return n;
}

CRT_IMPL int Vprintf(const char* format, va_list args) {
    return std::vprintf(format, args);
}

CRT_IMPL int Printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int n = std::vprintf(format, args);
    va_end(args);
    return n;
}

// msvcrt's _vsnprintf: -1 (and no terminator) when the text does not fit.
CRT_IMPL int Vsnprintf_Msvcrt(char* buffer, size_t size, const char* format, va_list args) {
    const int n = std::vsnprintf(buffer, size, format, args);
    return n >= 0 && static_cast<size_t>(n) < size ? n : -1;
}

CRT_IMPL int Snprintf_Msvcrt(char* buffer, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int n = Vsnprintf_Msvcrt(buffer, size, format, args);
    va_end(args);
    return n;
}

CRT_IMPL int Sprintf(char* buffer, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int n = std::vsprintf(buffer, format, args);
    va_end(args);
    return n;
}

CRT_IMPL int Remove(const char* path) {
    return std::remove(path);
}

// msvcrt's struct lconv begins with these three texts; the DLL's printf reads no further.
struct MsvcrtLconv {
    const char* Decimal_Point;
    const char* Thousands_Sep;
    const char* Grouping;
    const char* Rest[7];
    char Numbers[10];
};
MsvcrtLconv c_locale{".", "", "", {"", "", "", "", "", "", ""}, {}};

CRT_IMPL MsvcrtLconv* Localeconv() {
    return &c_locale;
}

CRT_IMPL const char* Setlocale(int, const char* locale) {
    // Only the "C" locale exists here.
    return !locale || !*locale || std::strcmp(locale, "C") == 0 ? "C" : nullptr;
}

int mb_cur_max = 1;

CRT_IMPL int* Errno() {
    return &errno;
}

CRT_IMPL void* Malloc(size_t size) {
    return std::malloc(size);
}
CRT_IMPL void* Calloc(size_t count, size_t size) {
    return std::calloc(count, size);
}
CRT_IMPL void* Realloc(void* block, size_t size) {
    return std::realloc(block, size);
}
CRT_IMPL void Free(void* block) {
    std::free(block);
}
CRT_IMPL void* Memcpy(void* to, const void* from, size_t n) {
    return std::memcpy(to, from, n);
}
CRT_IMPL void* Memmove(void* to, const void* from, size_t n) {
    return std::memmove(to, from, n);
}
CRT_IMPL void* Memset(void* to, int c, size_t n) {
    return std::memset(to, c, n);
}
CRT_IMPL int Memcmp(const void* a, const void* b, size_t n) {
    return std::memcmp(a, b, n);
}
CRT_IMPL const void* Memchr(const void* p, int c, size_t n) {
    return std::memchr(p, c, n);
}
CRT_IMPL size_t Strlen(const char* s) {
    return std::strlen(s);
}
CRT_IMPL int Strcmp(const char* a, const char* b) {
    return std::strcmp(a, b);
}
CRT_IMPL int Strncmp(const char* a, const char* b, size_t n) {
    return std::strncmp(a, b, n);
}
CRT_IMPL int Stricmp(const char* a, const char* b) {
    return strcasecmp(a, b);
}
CRT_IMPL int Strnicmp(const char* a, const char* b, size_t n) {
    return strncasecmp(a, b, n);
}
CRT_IMPL char* Strcpy(char* to, const char* from) {
    return std::strcpy(to, from);
}
CRT_IMPL char* Strncpy(char* to, const char* from, size_t n) {
    return std::strncpy(to, from, n);
}
CRT_IMPL const char* Strchr(const char* s, int c) {
    return std::strchr(s, c);
}
CRT_IMPL const char* Strrchr(const char* s, int c) {
    return std::strrchr(s, c);
}
CRT_IMPL const char* Strstr(const char* s, const char* t) {
    return std::strstr(s, t);
}
CRT_IMPL char* Strerror(int error) {
    return std::strerror(error);
}
CRT_IMPL int Atoi(const char* s) {
    return std::atoi(s);
}
CRT_IMPL long Strtol(const char* s, char** end, int base) {
    return std::strtol(s, end, base);
}
CRT_IMPL int Tolower(int c) {
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}
CRT_IMPL int Toupper(int c) {
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}
CRT_IMPL size_t Wcslen(const WCHAR* s) {
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}
CRT_IMPL void Abort() {
    std::abort();
}
CRT_IMPL void Amsg_Exit(int code) {
    std::fprintf(stderr, "runtime error %d in a loaded DLL\n", code);
    std::abort();
}

// msvcrt's lock numbers guard its own tables; one recursive lock serves them all.
pthread_mutex_t crt_lock = PTHREAD_RECURSIVE_MUTEX_INITIALIZER_NP;
CRT_IMPL void Lock(int) {
    pthread_mutex_lock(&crt_lock);
}
CRT_IMPL void Unlock(int) {
    pthread_mutex_unlock(&crt_lock);
}

using Init_Fn = void (*)();
CRT_IMPL void Initterm(Init_Fn* begin, Init_Fn* end) {
    for (; begin < end; ++begin)
        if (*begin)
            (*begin)();
}
using Init_E_Fn = int (*)();
CRT_IMPL int Initterm_E(Init_E_Fn* begin, Init_E_Fn* end) {
    for (; begin < end; ++begin)
        if (*begin)
            if (const int failed = (*begin)())
                return failed;
    return 0;
}

std::vector<Init_Fn> exit_functions;

// The C runtime's hook for maths errors (domain errors of sqrt and the like); this
// stand-in reports none, so the handler is never called.
using Matherr_Fn = int (*)(void* exception);
CRT_IMPL void Setusermatherr(Matherr_Fn) {}

CRT_IMPL Init_Fn Onexit(Init_Fn function) {
    exit_functions.push_back(function);
    return function;
}
CRT_IMPL int Atexit(Init_Fn function) {
    exit_functions.push_back(function);
    return 0;
}
// The DLL keeps this table itself (begin and end pointers into a block of msvcrt's
// heap) and runs it when it detaches.
CRT_IMPL Init_Fn Dllonexit(Init_Fn function, Init_Fn** begin, Init_Fn** end) {
    const size_t count = static_cast<size_t>(*end - *begin);
    auto* grown = static_cast<Init_Fn*>(std::realloc(*begin, (count + 1) * sizeof(Init_Fn)));
    if (!grown)
        return nullptr;
    grown[count] = function;
    *begin = grown;
    *end = grown + count + 1;
    return function;
}

// 64-bit and 32-bit time; struct tm is the same nine ints in both runtimes, and this
// process's struct tm begins with them.
CRT_IMPL int64_t Time64(int64_t* out) {
    const int64_t now = std::time(nullptr);
    if (out)
        *out = now;
    return now;
}
CRT_IMPL int32_t Time32(int32_t* out) {
    const int32_t now = static_cast<int32_t>(std::time(nullptr));
    if (out)
        *out = now;
    return now;
}
thread_local std::tm local_tm;
CRT_IMPL std::tm* Localtime64(const int64_t* t) {
    const time_t value = static_cast<time_t>(*t);
    return localtime_r(&value, &local_tm);
}
CRT_IMPL std::tm* Localtime32(const int32_t* t) {
    const time_t value = *t;
    return localtime_r(&value, &local_tm);
}

// ---------------------------------------------------------------------------------------
// The tables

template <class Fn> const void* Address(Fn* fn) {
    const void* a;
    static_assert(sizeof a == sizeof fn, "function and data pointers of one size");
    std::memcpy(&a, &fn, sizeof a);
    return a;
}

struct Served {
    const char* Name;
    const void* Address;
};

const Served kernel32[] = {
    {"CopyFileA", Address(&Copy_File_A)},
    {"DeleteCriticalSection", Address(&Delete_Critical_Section)},
    {"DeleteFileA", Address(&Delete_File_A)},
    {"DisableThreadLibraryCalls", Address(&Disable_Thread_Library_Calls)},
    {"EnterCriticalSection", Address(&Enter_Critical_Section)},
    {"FreeLibrary", Address(&Free_Library)},
    {"GetCurrentProcess", Address(&Get_Current_Process)},
    {"GetCurrentThreadId", Address(&Get_Current_Thread_Id)},
    {"GetLastError", Address(&Get_Last_Error)},
    {"GetLocalTime", Address(&Get_Local_Time)},
    {"GetModuleHandleA", Address(&Get_Module_Handle_A)},
    {"GetModuleHandleW", Address(&Get_Module_Handle_W)},
    {"GetProcAddress", Address(&Get_Proc_Address)},
    {"InitializeCriticalSection", Address(&Initialize_Critical_Section)},
    {"IsBadReadPtr", Address(&Is_Bad_Read_Ptr)},
    {"IsDBCSLeadByteEx", Address(&Is_Dbcs_Lead_Byte_Ex)},
    {"LeaveCriticalSection", Address(&Leave_Critical_Section)},
    {"LoadLibraryA", Address(&Load_Library_A)},
    {"MultiByteToWideChar", Address(&Multi_Byte_To_Wide_Char)},
    {"ReadProcessMemory", Address(&Read_Process_Memory)},
    {"SetLastError", Address(&Set_Last_Error)},
    {"Sleep", Address(&Sleep_Ms)},
    {"TlsAlloc", Address(&Tls_Alloc)},
    {"TlsFree", Address(&Tls_Free)},
    {"TlsGetValue", Address(&Tls_Get_Value)},
    {"TlsSetValue", Address(&Tls_Set_Value)},
    {"VirtualProtect", Address(&Virtual_Protect)},
    {"VirtualQuery", Address(&Virtual_Query)},
    {"WideCharToMultiByte", Address(&Wide_Char_To_Multi_Byte)},
};

const Served user32[] = {
    {"MessageBoxA", Address(&Record_Message_Box)},
};

const Served msvcrt[] = {
    {"__dllonexit", Address(&Dllonexit)},
    {"__iob_func", Address(&Iob_Func)},
    {"__mb_cur_max", &mb_cur_max},
    {"__setusermatherr", Address(&Setusermatherr)},
    {"_amsg_exit", Address(&Amsg_Exit)},
    {"_errno", Address(&Errno)},
    {"_initterm", Address(&Initterm)},
    {"_initterm_e", Address(&Initterm_E)},
    {"_iob", iob},
    {"_localtime32", Address(&Localtime32)},
    {"_localtime64", Address(&Localtime64)},
    {"_lock", Address(&Lock)},
    {"_onexit", Address(&Onexit)},
    {"_snprintf", Address(&Snprintf_Msvcrt)},
    {"_stricmp", Address(&Stricmp)},
    {"_strnicmp", Address(&Strnicmp)},
    {"_time32", Address(&Time32)},
    {"_time64", Address(&Time64)},
    {"_unlink", Address(&Remove)},
    {"_unlock", Address(&Unlock)},
    {"_vsnprintf", Address(&Vsnprintf_Msvcrt)},
    {"abort", Address(&Abort)},
    {"atexit", Address(&Atexit)},
    {"atoi", Address(&Atoi)},
    {"calloc", Address(&Calloc)},
    {"fclose", Address(&Fclose)},
    {"fflush", Address(&Fflush)},
    {"fopen", Address(&Fopen)},
    {"fprintf", Address(&Fprintf)},
    {"fputc", Address(&Fputc)},
    {"fputs", Address(&Fputs)},
    {"fread", Address(&Fread)},
    {"free", Address(&Free)},
    {"fwrite", Address(&Fwrite)},
    {"localeconv", Address(&Localeconv)},
    {"malloc", Address(&Malloc)},
    {"memchr", Address(&Memchr)},
    {"memcmp", Address(&Memcmp)},
    {"memcpy", Address(&Memcpy)},
    {"memmove", Address(&Memmove)},
    {"memset", Address(&Memset)},
    {"printf", Address(&Printf)},
    {"putchar", Address(&Putchar)},
    {"puts", Address(&Puts)},
    {"realloc", Address(&Realloc)},
    {"remove", Address(&Remove)},
    {"setlocale", Address(&Setlocale)},
    {"sprintf", Address(&Sprintf)},
    {"strchr", Address(&Strchr)},
    {"strcmp", Address(&Strcmp)},
    {"strcpy", Address(&Strcpy)},
    {"strerror", Address(&Strerror)},
    {"strlen", Address(&Strlen)},
    {"strncmp", Address(&Strncmp)},
    {"strncpy", Address(&Strncpy)},
    {"strrchr", Address(&Strrchr)},
    {"strstr", Address(&Strstr)},
    {"strtol", Address(&Strtol)},
    {"tolower", Address(&Tolower)},
    {"toupper", Address(&Toupper)},
    {"vfprintf", Address(&Vfprintf)},
    {"vprintf", Address(&Vprintf)},
    {"wcslen", Address(&Wcslen)},
};

template <size_t N> const void* Find(const Served (&table)[N], const char* name) {
    for (const Served& s : table)
        if (std::strcmp(s.Name, name) == 0)
            return s.Address;
    return nullptr;
}

bool Names_Library(const char* dll, const char* library) {
    const size_t n = std::strlen(library);
    return strncasecmp(dll, library, n) == 0 && (dll[n] == 0 || strcasecmp(dll + n, ".dll") == 0);
}

} // namespace

const void* Windows_Import(const char* dll, const char* function) {
    if (!dll || !function)
        return nullptr;
    if (Names_Library(dll, "kernel32"))
        return Find(kernel32, function);
    if (Names_Library(dll, "user32"))
        return Find(user32, function);
    if (Names_Library(dll, "msvcrt"))
        return Find(msvcrt, function);
    return nullptr;
}

void Run_Exit_Functions(const void* image_begin, const void* image_end) {
    const auto* begin = static_cast<const unsigned char*>(image_begin);
    const auto* end = static_cast<const unsigned char*>(image_end);
    for (size_t i = exit_functions.size(); i-- > 0;) {
        const auto* at = static_cast<const unsigned char*>(Address(exit_functions[i]));
        if (at >= begin && at < end) {
            const Init_Fn function = exit_functions[i];
            exit_functions.erase(exit_functions.begin() + static_cast<long>(i));
            function();
        }
    }
}

const std::vector<const void*>& Thread_Calls_Disabled() {
    return disabled_thread_calls;
}

void Clear_Thread_Calls_Disabled() {
    disabled_thread_calls.clear();
}

} // namespace standin
