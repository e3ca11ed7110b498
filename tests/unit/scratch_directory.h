// A fresh server working directory for one test: a new temporary folder with its data/
// folder, made the current directory, and removed with everything in it afterwards.
#pragma once

#include "standin/working_directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class ScratchDirectory {
  public:
    ScratchDirectory() {
        std::string why;
        if (!directory_.Ready(why))
            ADD_FAILURE() << why;
    }

  private:
    standin::WorkingDirectory directory_{"tarnwick-"};
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
