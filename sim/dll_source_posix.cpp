// Linux: the real Tarnwick.dll loaded into this process by the stand-in's PE loader, with
// the stand-in's KERNEL32, USER32 and msvcrt under it.
#include "sim/plugin_source.h"

#include "standin/pe_loader.h"

namespace sim {
namespace {

class PeDllSource : public PluginSource {
  public:
    explicit PeDllSource(std::string path) : path_(std::move(path)) {}
    ~PeDllSource() override { Unload(); }

    bool Load(std::string& error) override {
        module_ = standin::Load_Pe_Module(path_, error);
        if (!module_) {
            error = path_ + ": " + error;
            return false;
        }
        const std::string missing = Fill_Exports(
            [this](const char* name) { return standin::Pe_Module_Export(module_, name); });
        if (!missing.empty()) {
            error = path_ + ": does not export " + missing;
            Unload();
            return false;
        }
        return true;
    }

    void Unload() override {
        if (module_)
            standin::Unload_Pe_Module(module_);
        module_ = nullptr;
        exports_ = PluginExports{};
    }

    std::string Description() const override { return path_; }

  private:
    std::string path_;
    standin::PeModule* module_ = nullptr;
};

} // namespace

std::unique_ptr<PluginSource> Dll_Source(const std::string& path) {
    return std::make_unique<PeDllSource>(path);
}

std::string Default_Dll_Path() {
    return TARNWICK_DEFAULT_DLL;
}

} // namespace sim
