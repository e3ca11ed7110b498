// Windows: the real Tarnwick.dll loaded by Windows itself, as the server loads it.
#include "sim/plugin_source.h"

#include "host/calling.h"

#include <windows.h>

namespace sim {
namespace {

class WindowsDllSource : public PluginSource {
  public:
    explicit WindowsDllSource(std::string path) : path_(std::move(path)) {}
    ~WindowsDllSource() override { Unload(); }

    bool Load(std::string& error) override {
        module_ = LoadLibraryA(path_.c_str());
        if (!module_) {
            error =
                path_ + ": cannot be loaded (Windows error " + std::to_string(GetLastError()) + ")";
            return false;
        }
        const std::string missing = Fill_Exports(
            [this](const char* name) { return Bit_Cast<void*>(GetProcAddress(module_, name)); });
        if (!missing.empty()) {
            error = path_ + ": does not export " + missing;
            Unload();
            return false;
        }
        return true;
    }

    void Unload() override {
        if (module_)
            FreeLibrary(module_);
        module_ = nullptr;
        exports_ = PluginExports{};
    }

    std::string Description() const override { return path_; }

  private:
    std::string path_;
    HMODULE module_ = nullptr;
};

} // namespace

std::unique_ptr<PluginSource> Dll_Source(const std::string& path) {
    return std::make_unique<WindowsDllSource>(path);
}

std::string Default_Dll_Path() {
    char program[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    std::string folder(program, length < sizeof program ? length : 0);
    const size_t slash = folder.find_last_of("\\/");
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    return folder + "Tarnwick.dll";
}

} // namespace sim
