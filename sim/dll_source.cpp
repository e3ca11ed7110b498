// The real Tarnwick.dll as the simulator's plugin: loaded, its exports looked up by name,
// and unloaded, the platform's way (dll_library_posix.cpp, dll_library_win32.cpp).
#include "sim/dll_library.h"
#include "sim/plugin_source.h"

namespace sim {
namespace {

class DllSource : public PluginSource {
  public:
    explicit DllSource(std::string path) : path_(std::move(path)) {}
    ~DllSource() override { Unload(); }

    bool Load(std::string& error) override {
        library_ = Open_Library(path_, error);
        if (!library_) {
            if (error.find(path_) == std::string::npos)
                error = path_ + ": " + error;
            return false;
        }
        const std::string missing =
            Fill_Exports([this](const char* name) { return Library_Export(library_, name); });
        if (!missing.empty()) {
            error = path_ + ": does not export " + missing;
            Unload();
            return false;
        }
        return true;
    }

    void Unload() override {
        if (library_)
            Close_Library(library_);
        library_ = nullptr;
        exports_ = PluginExports{};
    }

    std::string Description() const override { return path_; }

  private:
    std::string path_;
    void* library_ = nullptr;
};

} // namespace

std::unique_ptr<PluginSource> Dll_Source(const std::string& path) {
    return std::make_unique<DllSource>(path);
}

} // namespace sim
