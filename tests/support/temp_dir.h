// A test's own folder under the temporary one, removed with all it holds
// when the helper goes, so tests running side by side never share files.
#pragma once

#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

namespace kado::testing {

class TempDir {
public:
    // TMP/PREFIX-XXXXXX, a name mkdtemp makes unique.
    explicit TempDir(const std::string& prefix) {
        std::string tmpl = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (!::mkdtemp(tmpl.data()))
            throw std::filesystem::filesystem_error("mkdtemp", tmpl, std::error_code(errno, std::generic_category()));
        path_ = tmpl;
    }
    ~TempDir() {
        std::error_code ignored;  // a test that made its files read-only restores them itself
        if (!keep_) std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Leaves the folder for a look at what a failed test wrote.
    void Keep() { keep_ = true; }

private:
    std::filesystem::path path_;
    bool keep_ = false;
};

}  // namespace kado::testing
