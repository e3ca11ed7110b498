// The PE32 loader. Every offset and size read from the file is checked against the file
// (while reading) or the mapped image (while loading) before it is used, so a damaged
// file gives an error, never a fault.
#include "standin/pe_loader.h"

#include "host/calling.h"
#include "standin/windows_api.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <strings.h>

namespace standin {

namespace {

// Header fields, by byte offset.
constexpr uint16_t Dos_Magic = 0x5a4d; // "MZ"
constexpr uint32_t Dos_Pe_Offset = 0x3c;
constexpr uint32_t Pe_Signature = 0x00004550; // "PE\0\0"
constexpr uint16_t Machine_I386 = 0x14c;
constexpr uint16_t Characteristic_Dll = 0x2000;
constexpr uint16_t Optional_Magic_Pe32 = 0x10b;

// From the start of the COFF header (right after the signature).
constexpr uint32_t Coff_Machine = 0;
constexpr uint32_t Coff_Section_Count = 2;
constexpr uint32_t Coff_Symbol_Table = 8;
constexpr uint32_t Coff_Symbol_Count = 12;
constexpr uint32_t Coff_Optional_Size = 16;
constexpr uint32_t Coff_Characteristics = 18;
constexpr uint32_t Coff_Size = 20;

// From the start of the optional header.
constexpr uint32_t Opt_Magic = 0;
constexpr uint32_t Opt_Entry_Point = 16;
constexpr uint32_t Opt_Image_Base = 28;
constexpr uint32_t Opt_Image_Size = 56;
constexpr uint32_t Opt_Headers_Size = 60;
constexpr uint32_t Opt_Directory_Count = 92;
constexpr uint32_t Opt_Directories = 96;

enum Directory : uint32_t {
    Directory_Export = 0,
    Directory_Import = 1,
    Directory_Relocation = 5,
    Directory_Tls = 9,
};

// A section header.
constexpr uint32_t Section_Virtual_Size = 8;
constexpr uint32_t Section_Virtual_Address = 12;
constexpr uint32_t Section_Raw_Size = 16;
constexpr uint32_t Section_Raw_Pointer = 20;
constexpr uint32_t Section_Header_Size = 40;

constexpr uint32_t Import_Descriptor_Size = 20;
constexpr uint32_t Coff_Symbol_Size = 18;

constexpr uint16_t Relocation_Absolute = 0;
constexpr uint16_t Relocation_High_Low = 3;

constexpr uint32_t No_Tls_Index = 64;
constexpr uint32_t Dll_Process_Detach = 0;
constexpr uint32_t Dll_Process_Attach = 1;

using Entry_Fn = int(__attribute__((stdcall)) *)(void* module, uint32_t reason, void* reserved);

Entry_Fn Bit_Cast_Entry(uint32_t address) {
    return Bit_Cast<Entry_Fn>(static_cast<uintptr_t>(address));
}

// A byte range that can be read with bounds checks: the file while reading it, the
// image once mapped.
struct Bytes {
    const unsigned char* Data;
    size_t Size;

    bool Has(uint64_t offset, uint64_t length) const {
        return offset <= Size && length <= Size - offset;
    }
    template <class T> bool Read(uint64_t offset, T& value) const {
        if (!Has(offset, sizeof value))
            return false;
        std::memcpy(&value, Data + offset, sizeof value);
        return true;
    }
    // A NUL-terminated text that lies wholly inside the range.
    bool Text(uint64_t offset, std::string& text) const {
        if (offset >= Size)
            return false;
        const void* end = std::memchr(Data + offset, 0, Size - offset);
        if (!end)
            return false;
        text.assign(reinterpret_cast<const char*>(Data + offset),
                    static_cast<const unsigned char*>(end) - (Data + offset));
        return true;
    }
};

struct SectionHeader {
    uint32_t Virtual_Size, Virtual_Address, Raw_Size, Raw_Pointer;
};

struct DataDirectory {
    uint32_t Rva = 0, Size = 0;
};

// The parsed headers of a file.
struct Headers {
    uint16_t Characteristics = 0;
    uint32_t Entry_Point = 0, Image_Base = 0, Image_Size = 0, Headers_Size = 0;
    uint32_t Symbol_Table = 0, Symbol_Count = 0;
    DataDirectory Directories[16];
    std::vector<SectionHeader> Sections;
};

bool Fail(std::string& error, const std::string& why) {
    error = why;
    return false;
}

bool Parse_Headers(const Bytes& file, Headers& h, std::string& error) {
    uint16_t dos_magic = 0;
    if (!file.Read(0, dos_magic) || dos_magic != Dos_Magic)
        return Fail(error, "not a PE file (no MZ header)");
    uint32_t pe = 0, signature = 0;
    if (!file.Read(Dos_Pe_Offset, pe) || !file.Read(pe, signature) || signature != Pe_Signature)
        return Fail(error, "not a PE file (no PE signature)");
    const uint64_t coff = uint64_t(pe) + 4;
    uint16_t machine = 0, section_count = 0, optional_size = 0;
    if (!file.Read(coff + Coff_Machine, machine) ||
        !file.Read(coff + Coff_Section_Count, section_count) ||
        !file.Read(coff + Coff_Optional_Size, optional_size) ||
        !file.Read(coff + Coff_Characteristics, h.Characteristics) ||
        !file.Read(coff + Coff_Symbol_Table, h.Symbol_Table) ||
        !file.Read(coff + Coff_Symbol_Count, h.Symbol_Count))
        return Fail(error, "truncated COFF header");
    if (machine != Machine_I386)
        return Fail(error, "not a 32-bit x86 image (machine " + std::to_string(machine) + ")");

    const uint64_t opt = coff + Coff_Size;
    uint16_t magic = 0;
    uint32_t directory_count = 0;
    if (optional_size < Opt_Directories || !file.Has(opt, optional_size) ||
        !file.Read(opt + Opt_Magic, magic))
        return Fail(error, "truncated optional header");
    if (magic != Optional_Magic_Pe32)
        return Fail(error,
                    "not a PE32 image (optional header magic " + std::to_string(magic) + ")");
    file.Read(opt + Opt_Entry_Point, h.Entry_Point);
    file.Read(opt + Opt_Image_Base, h.Image_Base);
    file.Read(opt + Opt_Image_Size, h.Image_Size);
    file.Read(opt + Opt_Headers_Size, h.Headers_Size);
    file.Read(opt + Opt_Directory_Count, directory_count);
    directory_count = std::min<uint32_t>(directory_count, 16);
    if (Opt_Directories + directory_count * 8 > optional_size)
        return Fail(error, "data directories run past the optional header");
    for (uint32_t i = 0; i < directory_count; ++i) {
        file.Read(opt + Opt_Directories + i * 8, h.Directories[i].Rva);
        file.Read(opt + Opt_Directories + i * 8 + 4, h.Directories[i].Size);
    }
    if (h.Image_Size == 0 || h.Image_Size > (256u << 20))
        return Fail(error, "implausible image size " + std::to_string(h.Image_Size));
    if (h.Headers_Size > h.Image_Size || h.Headers_Size > file.Size)
        return Fail(error, "headers larger than the image or the file");

    const uint64_t sections = opt + optional_size;
    for (uint16_t i = 0; i < section_count; ++i) {
        const uint64_t at = sections + uint64_t(i) * Section_Header_Size;
        SectionHeader s{};
        if (!file.Read(at + Section_Virtual_Size, s.Virtual_Size) ||
            !file.Read(at + Section_Virtual_Address, s.Virtual_Address) ||
            !file.Read(at + Section_Raw_Size, s.Raw_Size) ||
            !file.Read(at + Section_Raw_Pointer, s.Raw_Pointer))
            return Fail(error, "truncated section table");
        const uint32_t mapped = std::max(s.Virtual_Size, s.Raw_Size);
        if (uint64_t(s.Virtual_Address) + mapped > h.Image_Size)
            return Fail(error, "section " + std::to_string(i) + " lies outside the image");
        if (s.Raw_Size && !file.Has(s.Raw_Pointer, s.Raw_Size))
            return Fail(error, "section " + std::to_string(i) + " lies outside the file");
        h.Sections.push_back(s);
    }
    return true;
}

// Where an RVA's bytes are in the file, for reading tables without mapping.
bool File_Offset(const Headers& h, uint32_t rva, uint64_t& offset) {
    for (const SectionHeader& s : h.Sections) {
        if (rva >= s.Virtual_Address && rva - s.Virtual_Address < s.Raw_Size) {
            offset = uint64_t(s.Raw_Pointer) + (rva - s.Virtual_Address);
            return true;
        }
    }
    if (rva < h.Headers_Size) {
        offset = rva;
        return true;
    }
    return false;
}

// Reads the image's tables either from the file (through File_Offset) or from the
// mapped image (RVA = offset); both give the same answers for a well-formed file.
struct ImageView {
    Bytes Range;
    const Headers* Header; // null: Range is the mapped image, RVAs are offsets

    template <class T> bool Read(uint32_t rva, T& value) const {
        uint64_t offset = rva;
        return (Header ? File_Offset(*Header, rva, offset) : true) && Range.Read(offset, value);
    }
    bool Text(uint32_t rva, std::string& text) const {
        uint64_t offset = rva;
        return (Header ? File_Offset(*Header, rva, offset) : true) && Range.Text(offset, text);
    }
};

struct ExportTable {
    uint32_t Ordinal_Base = 0;
    uint32_t Function_Count = 0, Name_Count = 0;
    uint32_t Functions = 0, Names = 0, Name_Ordinals = 0;
};

bool Read_Export_Table(const ImageView& view, const DataDirectory& dir, ExportTable& t) {
    if (dir.Rva == 0)
        return true;
    return view.Read(dir.Rva + 16, t.Ordinal_Base) && view.Read(dir.Rva + 20, t.Function_Count) &&
           view.Read(dir.Rva + 24, t.Name_Count) && view.Read(dir.Rva + 28, t.Functions) &&
           view.Read(dir.Rva + 32, t.Names) && view.Read(dir.Rva + 36, t.Name_Ordinals);
}

bool Export_Names(const ImageView& view, const DataDirectory& dir, std::vector<std::string>& out,
                  std::string& error) {
    ExportTable t;
    if (!Read_Export_Table(view, dir, t))
        return Fail(error, "truncated export directory");
    for (uint32_t i = 0; i < t.Name_Count; ++i) {
        uint32_t name_rva = 0;
        std::string name;
        if (!view.Read(t.Names + i * 4, name_rva) || !view.Text(name_rva, name))
            return Fail(error, "export name " + std::to_string(i) + " lies outside the image");
        out.push_back(name);
    }
    return true;
}

// Walks the import descriptors; `each` gets the DLL name, the function (or "#ordinal")
// and the RVA of the import address table slot to fill.
template <class Each>
bool Walk_Imports(const ImageView& view, const DataDirectory& dir, std::string& error, Each each) {
    if (dir.Rva == 0)
        return true;
    for (uint32_t d = dir.Rva;; d += Import_Descriptor_Size) {
        uint32_t lookup = 0, name_rva = 0, address_table = 0;
        if (!view.Read(d, lookup) || !view.Read(d + 12, name_rva) ||
            !view.Read(d + 16, address_table))
            return Fail(error, "truncated import directory");
        if (name_rva == 0 && address_table == 0)
            return true;
        std::string dll;
        if (!view.Text(name_rva, dll))
            return Fail(error, "import library name lies outside the image");
        // The lookup table names the functions; without one, the address table does
        // (before binding both hold the same).
        const uint32_t names = lookup ? lookup : address_table;
        for (uint32_t i = 0;; ++i) {
            uint32_t thunk = 0;
            if (!view.Read(names + i * 4, thunk))
                return Fail(error, "import lookup table of " + dll + " runs out of the image");
            if (thunk == 0)
                break;
            std::string function;
            if (thunk & 0x80000000u) {
                function = "#" + std::to_string(thunk & 0xffff);
            } else if (!view.Text(thunk + 2, function)) {
                return Fail(error, "import name of " + dll + " lies outside the image");
            }
            each(dll, function, address_table + i * 4);
        }
    }
}

// The whole file in one read: byte by byte is slow under an emulator, and programs with
// the server's range in their image are megabytes long.
std::vector<unsigned char> File_Bytes(std::ifstream& in) {
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    std::vector<unsigned char> bytes(size > 0 ? static_cast<size_t>(size) : 0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

} // namespace

bool Read_Pe_Image(const std::string& path, PeImageInfo& info, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Fail(error, "cannot open " + path);
    const std::vector<unsigned char> data = File_Bytes(in);
    const Bytes file{data.data(), data.size()};
    Headers h;
    if (!Parse_Headers(file, h, error)) {
        error = path + ": " + error;
        return false;
    }
    info = PeImageInfo{};
    info.Is_Dll = (h.Characteristics & Characteristic_Dll) != 0;
    info.Image_Base = h.Image_Base;
    info.Image_Size = h.Image_Size;
    info.Entry_Point = h.Entry_Point;
    const ImageView view{file, &h};
    if (!Export_Names(view, h.Directories[Directory_Export], info.Exports, error) ||
        !Walk_Imports(view, h.Directories[Directory_Import], error,
                      [&](const std::string& dll, const std::string& function, uint32_t) {
                          info.Imports.push_back({dll, function});
                      })) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

struct PeModule {
    std::string Name;
    unsigned char* Base = nullptr;
    uint32_t Size = 0;
    Headers Header;
    std::vector<unsigned char> File; // kept for the COFF symbol table
    Entry_Fn Entry = nullptr;
    std::vector<Entry_Fn> Tls_Callbacks;
    unsigned char* Tls_Block = nullptr;
    uint32_t Tls_Index = No_Tls_Index;

    ImageView View() const { return ImageView{Bytes{Base, Size}, nullptr}; }
};

namespace {

std::vector<PeModule*> loaded;

std::string Base_Name(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void Unmap(PeModule* m) {
    if (m->Tls_Index != No_Tls_Index)
        Release_Static_Tls(m->Tls_Index);
    std::free(m->Tls_Block);
    if (m->Base)
        munmap(m->Base, m->Size);
    delete m;
}

bool Map_Image(PeModule& m, std::string& error) {
    const Headers& h = m.Header;
    void* base = mmap(nullptr, h.Image_Size, PROT_READ | PROT_WRITE | PROT_EXEC,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED)
        return Fail(error, "cannot map " + std::to_string(h.Image_Size) + " bytes");
    m.Base = static_cast<unsigned char*>(base);
    m.Size = h.Image_Size;
    std::memcpy(m.Base, m.File.data(), h.Headers_Size);
    for (const SectionHeader& s : h.Sections) {
        // The part of a section past its raw data is zero-filled (uninitialised data);
        // the fresh mapping is zero already.
        const uint32_t copied = s.Virtual_Size ? std::min(s.Raw_Size, s.Virtual_Size) : s.Raw_Size;
        if (copied)
            std::memcpy(m.Base + s.Virtual_Address, m.File.data() + s.Raw_Pointer, copied);
    }
    return true;
}

bool Apply_Relocations(PeModule& m, std::string& error) {
    const uint32_t delta =
        static_cast<uint32_t>(reinterpret_cast<uintptr_t>(m.Base)) - m.Header.Image_Base;
    const DataDirectory dir = m.Header.Directories[Directory_Relocation];
    const Bytes image{m.Base, m.Size};
    if (!image.Has(dir.Rva, dir.Size))
        return Fail(error, "relocation table lies outside the image");
    for (uint32_t at = dir.Rva; at + 8 <= dir.Rva + dir.Size;) {
        uint32_t page = 0, block_size = 0;
        image.Read(at, page);
        image.Read(at + 4, block_size);
        if (block_size < 8 || block_size > dir.Rva + dir.Size - at)
            return Fail(error, "malformed relocation block");
        for (uint32_t e = at + 8; e + 2 <= at + block_size; e += 2) {
            uint16_t entry = 0;
            image.Read(e, entry);
            const uint16_t type = entry >> 12;
            const uint32_t target = page + (entry & 0x0fff);
            if (type == Relocation_Absolute)
                continue;
            if (type != Relocation_High_Low)
                return Fail(error, "unsupported relocation type " + std::to_string(type));
            uint32_t value = 0;
            if (!image.Read(target, value))
                return Fail(error, "relocation target lies outside the image");
            value += delta;
            std::memcpy(m.Base + target, &value, sizeof value);
        }
        at += block_size;
    }
    return true;
}

bool Resolve_Imports(PeModule& m, std::string& error) {
    std::vector<std::string> missing;
    const Bytes image{m.Base, m.Size};
    bool slots_fit = true;
    const bool walked =
        Walk_Imports(m.View(), m.Header.Directories[Directory_Import], error,
                     [&](const std::string& dll, const std::string& function, uint32_t slot) {
                         const void* address = nullptr;
                         if (function[0] != '#')
                             address = Windows_Import(dll.c_str(), function.c_str());
                         if (!address) {
                             missing.push_back(dll + "!" + function);
                             return;
                         }
                         if (!image.Has(slot, 4)) {
                             slots_fit = false;
                             return;
                         }
                         std::memcpy(m.Base + slot, &address, sizeof address);
                     });
    if (!walked)
        return false;
    if (!slots_fit)
        return Fail(error, "import address table lies outside the image");
    if (!missing.empty()) {
        std::string list;
        for (const std::string& name : missing)
            list += (list.empty() ? "" : ", ") + name;
        return Fail(error, "the stand-in serves none of these imports: " + list);
    }
    return true;
}

// The TLS directory: the module's static TLS block (a copy of its template, for the one
// thread that calls it) at an index of the thread's TLS array, and its callbacks
// (addresses, already relocated), ending at null.
bool Set_Up_Tls(PeModule& m, std::string& error) {
    const DataDirectory dir = m.Header.Directories[Directory_Tls];
    if (dir.Rva == 0)
        return true;
    const Bytes image{m.Base, m.Size};
    const uintptr_t base = reinterpret_cast<uintptr_t>(m.Base);
    uint32_t start = 0, end = 0, index_address = 0, callbacks = 0, zero_fill = 0;
    if (!image.Read(dir.Rva, start) || !image.Read(dir.Rva + 4, end) ||
        !image.Read(dir.Rva + 8, index_address) || !image.Read(dir.Rva + 12, callbacks) ||
        !image.Read(dir.Rva + 16, zero_fill))
        return Fail(error, "truncated TLS directory");
    if (end < start || (start && !image.Has(start - base, end - start)) ||
        (index_address && !image.Has(index_address - base, 4)) || zero_fill > (16u << 20))
        return Fail(error, "TLS directory points outside the image");
    if (index_address) {
        const uint32_t size = end - start + zero_fill;
        m.Tls_Block = static_cast<unsigned char*>(std::calloc(1, size ? size : 1));
        if (start)
            std::memcpy(m.Tls_Block, m.Base + (start - base), end - start);
        m.Tls_Index = Allocate_Static_Tls(m.Tls_Block);
        if (m.Tls_Index == No_Tls_Index)
            return Fail(error, "no static TLS index left");
        std::memcpy(m.Base + (index_address - base), &m.Tls_Index, sizeof m.Tls_Index);
    }
    for (uint32_t at = callbacks; at;) {
        uint32_t callback = 0;
        if (!image.Read(at - base, callback))
            return Fail(error, "TLS callback list lies outside the image");
        if (!callback)
            break;
        if (callback - base >= m.Size)
            return Fail(error, "TLS callback lies outside the image");
        m.Tls_Callbacks.push_back(Bit_Cast_Entry(callback));
        at += 4;
    }
    return true;
}

void Notify(PeModule& m, uint32_t reason, bool& entry_result) {
    for (Entry_Fn callback : m.Tls_Callbacks)
        callback(m.Base, reason, nullptr);
    entry_result = m.Entry ? m.Entry(m.Base, reason, nullptr) != 0 : true;
}

} // namespace

PeModule* Load_Pe_Module(const std::string& path, std::string& error) {
    Ensure_Thread_Environment();
    auto* m = new PeModule;
    m->Name = Base_Name(path);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        delete m;
        return nullptr;
    }
    m->File = File_Bytes(in);
    const Bytes file{m->File.data(), m->File.size()};
    if (!Parse_Headers(file, m->Header, error) || !Map_Image(*m, error) ||
        !Apply_Relocations(*m, error) || !Resolve_Imports(*m, error) || !Set_Up_Tls(*m, error)) {
        error = path + ": " + error;
        Unmap(m);
        return nullptr;
    }
    if (m->Header.Entry_Point)
        m->Entry = Bit_Cast_Entry(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(m->Base)) +
                                  m->Header.Entry_Point);
    // Listed before the entry point runs: the DLL may ask for its own handle then.
    loaded.push_back(m);
    bool attached = false;
    Notify(*m, Dll_Process_Attach, attached);
    if (!attached) {
        error = path + ": the entry point refused to attach";
        Unload_Pe_Module(m);
        return nullptr;
    }
    return m;
}

void Unload_Pe_Module(PeModule* m, Before_Unmap_Fn before_unmap, void* context) {
    if (!m)
        return;
    bool ignored = false;
    Notify(*m, Dll_Process_Detach, ignored);
    Run_Exit_Functions(m->Base, m->Base + m->Size);
    if (before_unmap)
        before_unmap(m, context);
    loaded.erase(std::remove(loaded.begin(), loaded.end(), m), loaded.end());
    Unmap(m);
}

void* Pe_Module_Export_Ordinal(const PeModule* m, uint32_t ordinal) {
    ExportTable t;
    if (!m || !Read_Export_Table(m->View(), m->Header.Directories[Directory_Export], t) ||
        ordinal < t.Ordinal_Base || ordinal - t.Ordinal_Base >= t.Function_Count)
        return nullptr;
    uint32_t rva = 0;
    if (!m->View().Read(t.Functions + (ordinal - t.Ordinal_Base) * 4, rva) || rva == 0 ||
        rva >= m->Size)
        return nullptr;
    return m->Base + rva;
}

void* Pe_Module_Export(const PeModule* m, const char* name) {
    ExportTable t;
    if (!m || !name || !Read_Export_Table(m->View(), m->Header.Directories[Directory_Export], t))
        return nullptr;
    for (uint32_t i = 0; i < t.Name_Count; ++i) {
        uint32_t name_rva = 0;
        uint16_t index = 0;
        std::string export_name;
        if (m->View().Read(t.Names + i * 4, name_rva) && m->View().Text(name_rva, export_name) &&
            export_name == name && m->View().Read(t.Name_Ordinals + i * 2, index))
            return Pe_Module_Export_Ordinal(m, t.Ordinal_Base + index);
    }
    return nullptr;
}

void* Pe_Module_Symbol(const PeModule* m, const char* name) {
    if (!m || !name || m->Header.Symbol_Table == 0)
        return nullptr;
    const Bytes file{m->File.data(), m->File.size()};
    const uint64_t strings =
        uint64_t(m->Header.Symbol_Table) + uint64_t(m->Header.Symbol_Count) * Coff_Symbol_Size;
    for (uint32_t i = 0; i < m->Header.Symbol_Count; ++i) {
        const uint64_t at = m->Header.Symbol_Table + uint64_t(i) * Coff_Symbol_Size;
        char short_name[8];
        uint32_t value = 0;
        int16_t section = 0;
        uint8_t aux = 0;
        if (!file.Read(at, short_name) || !file.Read(at + 8, value) ||
            !file.Read(at + 12, section) || !file.Read(at + 17, aux))
            return nullptr;
        std::string symbol;
        uint32_t zeroes = 0, offset = 0;
        std::memcpy(&zeroes, short_name, 4);
        std::memcpy(&offset, short_name + 4, 4);
        if (zeroes == 0) {
            if (!file.Text(strings + offset, symbol))
                symbol.clear();
        } else {
            symbol.assign(short_name, strnlen(short_name, sizeof short_name));
        }
        if (symbol == name && section > 0 &&
            static_cast<size_t>(section) <= m->Header.Sections.size()) {
            const uint32_t rva = m->Header.Sections[section - 1].Virtual_Address + value;
            return rva < m->Size ? m->Base + rva : nullptr;
        }
        i += aux;
    }
    return nullptr;
}

void* Pe_Module_Handle(const PeModule* m) {
    return m ? m->Base : nullptr;
}

const std::string& Pe_Module_Name(const PeModule* m) {
    return m->Name;
}

uint32_t Pe_Module_Size(const PeModule* m) {
    return m ? m->Size : 0;
}

PeModule* Pe_Module_From_Handle(const void* handle) {
    for (PeModule* m : loaded)
        if (m->Base == handle)
            return m;
    return nullptr;
}

PeModule* Pe_Module_Named(const char* name) {
    if (!name)
        return nullptr;
    const std::string wanted = Base_Name(name);
    for (PeModule* m : loaded)
        if (strcasecmp(m->Name.c_str(), wanted.c_str()) == 0)
            return m;
    return nullptr;
}

PeModule* Pe_Module_Containing(const void* address) {
    const auto* a = static_cast<const unsigned char*>(address);
    for (PeModule* m : loaded)
        if (a >= m->Base && a < m->Base + m->Size)
            return m;
    return nullptr;
}

} // namespace standin
