// What only the built library shows: its export and import tables, its attach handler,
// its unloading, and the loader that runs it here refusing what it cannot run.
#include "tests/binary/tarnwick_dll.h"

#include "host/calling.h"
#include "standin/allocator.h"
#include "standin/fake_bhs.h"
#include "standin/windows_api.h"
#include "tests/unit/scratch_directory.h"
#include "tests/unit/standin_test.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <set>
#include <strings.h>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

namespace {

TEST(TarnwickDllTables, the_dll_exports_the_seven_names_and_imports_from_three_dlls_only) {
    standin::PeImageInfo info;
    std::string error;
    ASSERT_TRUE(standin::Read_Pe_Image(Tarnwick_Dll_Path, info, error)) << error;
    EXPECT_TRUE(info.Is_Dll);
    EXPECT_THAT(info.Exports,
                UnorderedElementsAre("Create_Script", "DllMain", "SSGM_Check_Version",
                                     "SSGM_Plugin_Load", "SSGM_Plugin_Unload",
                                     "Set_Request_Destroy_Func", "Set_Script_Commands"));
    std::set<std::string> dlls;
    std::string list;
    for (const standin::PeImport& import : info.Imports) {
        std::string dll = import.Dll;
        std::transform(dll.begin(), dll.end(), dll.begin(), ::toupper);
        dlls.insert(dll);
        list += " " + import.Dll + "!" + import.Function;
    }
    EXPECT_THAT(dlls, testing::IsSubsetOf({"KERNEL32.DLL", "USER32.DLL", "MSVCRT.DLL"}))
        << "imports:" << list;
}

class TarnwickDll : public StandinTest {
  protected:
    void TearDown() override {
        standin::Unload_Pe_Module(module_);
        StandinTest::TearDown();
    }

    standin::PeModule* Load(const std::string& path) {
        std::string error;
        standin::PeModule* module = standin::Load_Pe_Module(path, error);
        EXPECT_NE(module, nullptr) << error;
        for (const char* table : {"_Vector3_Math", "_Vector4_Math"})
            if (const void* at = standin::Pe_Module_Symbol(module, table))
                standin::Keep_For_Process(*static_cast<void* const*>(at));
        return module;
    }

    ScratchDirectory scratch_;
    standin::PeModule* module_ = nullptr;
};

TEST_F(TarnwickDll, dll_main_turns_off_thread_notifications_for_its_own_module) {
    standin::Clear_Thread_Calls_Disabled();
    module_ = Load(Tarnwick_Dll_Path);
    ASSERT_NE(module_, nullptr);
    EXPECT_THAT(standin::Thread_Calls_Disabled(), ElementsAre(standin::Pe_Module_Handle(module_)));
}

TEST_F(TarnwickDll, get_proc_address_reads_a_loaded_dll_by_export_and_any_other_module_by_dlsym) {
    module_ = Load(Tarnwick_Dll_Path);
    ASSERT_NE(module_, nullptr);
    using Get_Proc_Address_Fn = void*(__attribute__((stdcall))*)(void* module, const char* name);
    const auto get_proc_address =
        Bit_Cast<Get_Proc_Address_Fn>(standin::Windows_Import("KERNEL32.dll", "GetProcAddress"));
    ASSERT_NE(get_proc_address, nullptr);
    void* const handle = standin::Pe_Module_Handle(module_);
    EXPECT_EQ(get_proc_address(handle, "Set_Script_Commands"),
              standin::Pe_Module_Export(module_, "Set_Script_Commands"));
    EXPECT_EQ(get_proc_address(handle, "Plugin_Start"), nullptr) << "not exported";
    EXPECT_EQ(get_proc_address(handle, reinterpret_cast<const char*>(1)),
              standin::Pe_Module_Export_Ordinal(module_, 1));
    standin::FakeBhs bhs;
    EXPECT_EQ(get_proc_address(bhs.Module(), "AddChatHook"), bhs.Function("AddChatHook"));
    EXPECT_EQ(get_proc_address(bhs.Module(), "NoSuchFunction"), nullptr);
    EXPECT_EQ(get_proc_address(nullptr, "AddChatHook"), nullptr);
}

// The registry's head and a factory's link to the next one (after its table pointer).
const void* Registry_Head(const standin::PeModule* module) {
    const void* head = nullptr;
    if (const void* at = standin::Pe_Module_Symbol(module, "_ScriptRegistry"))
        std::memcpy(&head, at, sizeof head);
    return head;
}

TEST_F(TarnwickDll, unloading_the_dll_unlinks_its_factory_and_a_fresh_load_has_exactly_one) {
    module_ = Load(Tarnwick_Dll_Path);
    ASSERT_NE(module_, nullptr);
    ASSERT_NE(standin::Pe_Module_Symbol(module_, "_ScriptRegistry"), nullptr);
    ASSERT_NE(Registry_Head(module_), nullptr);

    const void* head_at_unmap = &head_at_unmap; // anything but null
    standin::Unload_Pe_Module(
        module_,
        [](standin::PeModule* m, void* out) { *static_cast<const void**>(out) = Registry_Head(m); },
        &head_at_unmap);
    module_ = nullptr;
    EXPECT_EQ(head_at_unmap, nullptr) << "the factory stayed linked";

    module_ = Load(Tarnwick_Dll_Path);
    ASSERT_NE(module_, nullptr);
    const void* head = Registry_Head(module_);
    ASSERT_NE(head, nullptr);
    const void* next = nullptr;
    std::memcpy(&next, static_cast<const char*>(head) + 4, sizeof next);
    EXPECT_EQ(next, nullptr) << "more than one factory";
}

// A copy of the library with some bytes replaced, in the working directory.
std::string Patched_Copy(const std::vector<std::pair<std::string, std::string>>& replacements) {
    std::string bytes = Read_File(Tarnwick_Dll_Path);
    for (const auto& [from, to] : replacements) {
        const size_t at = bytes.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos)
            bytes.replace(at, from.size(), to);
    }
    Write_File("patched.dll", bytes);
    return "patched.dll";
}

TEST_F(TarnwickDll, the_loader_refuses_imports_it_does_not_serve_and_names_every_one) {
    using namespace std::string_literals;
    const std::string path =
        Patched_Copy({{"CopyFileA\0"s, "CopyFileQ\0"s}, {"MessageBoxA\0"s, "MessageBoxQ\0"s}});
    const size_t allocations = standin::Allocator_Counts().Allocations;
    standin::Clear_Thread_Calls_Disabled();
    std::string error;
    EXPECT_EQ(standin::Load_Pe_Module(path, error), nullptr);
    EXPECT_THAT(error, HasSubstr("KERNEL32.dll!CopyFileQ"));
    EXPECT_THAT(error, HasSubstr("USER32.dll!MessageBoxQ"));
    EXPECT_EQ(standin::Allocator_Counts().Allocations, allocations) << "the DLL's code ran";
    EXPECT_TRUE(standin::Thread_Calls_Disabled().empty()) << "its DllMain ran";
}

TEST_F(TarnwickDll, the_loader_refuses_a_damaged_file_with_its_reason) {
    const std::string dll = Read_File(Tarnwick_Dll_Path);
    uint32_t pe = 0;
    std::memcpy(&pe, dll.data() + 0x3c, sizeof pe);
    struct Row {
        const char* Name;
        std::string Bytes;
        const char* Reason;
    };
    std::string machine = dll;
    machine[pe + 4] = '\x64';
    machine[pe + 5] = '\x86';
    std::string huge = dll;
    huge[pe + 24 + 56 + 3] = '\x7f'; // SizeOfImage
    const Row rows[] = {
        {"empty", "", "no MZ header"},
        {"only a DOS header", dll.substr(0, 64), "no PE signature"},
        {"headers cut short", dll.substr(0, pe + 40), "truncated"},
        {"sections cut off", dll.substr(0, dll.size() / 2), "outside the file"},
        {"another machine", machine, "not a 32-bit x86 image"},
        {"an absurd image size", huge, "implausible image size"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Write_File("damaged.dll", row.Bytes);
        std::string error;
        standin::PeImageInfo info;
        EXPECT_FALSE(standin::Read_Pe_Image("damaged.dll", info, error));
        EXPECT_THAT(error, HasSubstr(row.Reason));
        error.clear();
        EXPECT_EQ(standin::Load_Pe_Module("damaged.dll", error), nullptr);
        EXPECT_THAT(error, HasSubstr(row.Reason));
    }
    std::string error;
    EXPECT_EQ(standin::Load_Pe_Module("no such.dll", error), nullptr);
    EXPECT_THAT(error, HasSubstr("cannot open"));
}

} // namespace
