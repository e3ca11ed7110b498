// Loads a 32-bit Windows DLL into this (32-bit Linux) process and runs it as Windows
// would: the image mapped and relocated, its imports pointed at the stand-in's own
// implementations of the few KERNEL32, USER32 and msvcrt functions it uses, its TLS
// callbacks and entry point called, its exports found by name. The machine code, the
// calling conventions and the data layout are the DLL's own, so what runs is exactly
// what the server would run.
//
// Linux builds only (pe_loader_posix.cpp); the header is plain C++.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

struct PeImport {
    std::string Dll;      // as the import table names it, e.g. "KERNEL32.dll"
    std::string Function; // the name, or "#<ordinal>" for an import by ordinal
};

// What a DLL file declares, read without loading it.
struct PeImageInfo {
    bool Is_Dll = false;
    uint32_t Image_Base = 0;
    uint32_t Image_Size = 0;
    uint32_t Entry_Point = 0; // RVA, 0 for none
    std::vector<std::string> Exports;
    std::vector<PeImport> Imports;
};

// Reads and checks the headers and the export and import tables of a PE32 file.
// False, with the reason in `error`, for a file that is missing or malformed.
bool Read_Pe_Image(const std::string& path, PeImageInfo& info, std::string& error);

struct PeModule;

// Loads a DLL, runs its TLS callbacks and its entry point with the process-attach reason.
// Refuses (null, the reason in `error`) a malformed file, one whose imports are not all
// served (the error lists every one of them), or one whose entry point returns false.
PeModule* Load_Pe_Module(const std::string& path, std::string& error);

// Runs the entry point with the process-detach reason and the TLS callbacks, then what
// the DLL registered to run at exit, then unmaps it. `before_unmap` (may be null) is
// called with the module while its memory is still in place, so a test can look at the
// state the DLL left behind.
using Before_Unmap_Fn = void (*)(PeModule* module, void* context);
void Unload_Pe_Module(PeModule* module, Before_Unmap_Fn before_unmap = nullptr,
                      void* context = nullptr);

// The address of an export by name, or null.
void* Pe_Module_Export(const PeModule* module, const char* name);
// The address of an export by ordinal, or null.
void* Pe_Module_Export_Ordinal(const PeModule* module, uint32_t ordinal);
// The address of a symbol of the image's COFF symbol table (left in by the linker unless
// stripped), e.g. "_ExeKind" for a global variable: tests use it to look at the DLL's
// state. Null when the image has no such symbol.
void* Pe_Module_Symbol(const PeModule* module, const char* name);

// The module handle Windows would give: the address the image was mapped at.
void* Pe_Module_Handle(const PeModule* module);
const std::string& Pe_Module_Name(const PeModule* module); // file name without folders
uint32_t Pe_Module_Size(const PeModule* module);

// The loaded module with this handle, or null (for any other address, such as a dlopen
// handle).
PeModule* Pe_Module_From_Handle(const void* handle);
// The loaded module whose file name is `name` (letter case ignored), or null.
PeModule* Pe_Module_Named(const char* name);
// The loaded module whose image holds `address`, or null.
PeModule* Pe_Module_Containing(const void* address);

} // namespace standin
