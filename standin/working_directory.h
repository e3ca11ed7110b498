// A fresh working directory, as a server's: a new temporary folder with its data/ folder,
// made the current directory, and removed with everything in it afterwards (the previous
// current directory restored).
#pragma once

#include <filesystem>
#include <string>

namespace standin {

class WorkingDirectory {
  public:
    // The folder's name starts with `prefix`.
    explicit WorkingDirectory(const std::string& prefix);
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

} // namespace standin
