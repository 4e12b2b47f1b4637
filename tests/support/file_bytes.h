// A whole file as bytes, for tests that compare what is on disk.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kado::testing {

inline std::string FileBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace kado::testing
