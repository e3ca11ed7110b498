#include "standin/working_directory.h"

#include <random>

namespace standin {

WorkingDirectory::WorkingDirectory(const std::string& prefix) {
    std::error_code error;
    previous_ = std::filesystem::current_path(error);
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    if (error) {
        why_ = "no folder for temporary files: " + error.message();
        return;
    }
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const std::filesystem::path candidate = temp / (prefix + std::to_string(random()));
        if (std::filesystem::create_directory(candidate, error))
            path_ = candidate;
    }
    if (path_.empty()) {
        why_ = "cannot make a working folder in " + temp.string();
        return;
    }
    std::filesystem::create_directory(path_ / "data", error);
    if (!error)
        std::filesystem::current_path(path_, error);
    if (error)
        why_ = "cannot prepare the working folder " + path_.string() + ": " + error.message();
}

WorkingDirectory::~WorkingDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    if (!path_.empty())
        std::filesystem::remove_all(path_, ignored);
}

bool WorkingDirectory::Ready(std::string& why) const {
    why = why_;
    return why_.empty();
}

} // namespace standin
