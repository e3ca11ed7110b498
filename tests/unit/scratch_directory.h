// A fresh server working directory for one test: a new temporary folder with its data/
// folder, made the current directory, and removed with everything in it afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

class ScratchDirectory {
  public:
    ScratchDirectory() : previous_(std::filesystem::current_path()) {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const std::filesystem::path candidate =
                std::filesystem::temp_directory_path() / ("tarnwick-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate))
                path_ = candidate;
        }
        if (path_.empty())
            ADD_FAILURE() << "no temporary working directory could be made";
        else {
            std::filesystem::create_directory(path_ / "data");
            std::filesystem::current_path(path_);
        }
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// Whole files, byte for byte, relative to the current directory.
inline void Write_File(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline bool File_Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

// The file's bytes; empty for a missing file.
inline std::string Read_File(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}
