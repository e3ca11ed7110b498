// A fresh working directory for one match, as a server's: a new temporary folder with its
// data/ folder, made the current directory, and removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace sim {

class WorkingDirectory {
  public:
    WorkingDirectory();
    ~WorkingDirectory();
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

    // False, with the reason, when no folder could be made or entered.
    bool Ready(std::string& why) const;
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
    std::string why_;
};

} // namespace sim
