#include "installer/extension_files.h"

#include <algorithm>
#include <system_error>

#include "platform/com/error.h"

namespace kado::setup {

namespace fs = std::filesystem;

std::vector<std::string> ListPlainFiles(const fs::path& folder) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) com::Raise(com::err::PathNotFound, "Cannot list " + folder.string() + ": " + ec.message());
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : it) {
        std::error_code kind;
        if (entry.is_regular_file(kind)) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string LowerCase(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool IsLibrary(std::string_view name) {
    constexpr std::string_view suffix = ".so";
    const std::string lower = LowerCase(name);
    return lower.size() > suffix.size() && lower.ends_with(suffix);
}

void CopyOver(const fs::path& source, const fs::path& target) {
    std::error_code ec;
    if (fs::exists(target, ec) && fs::equivalent(source, target, ec)) return;
    fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        com::Raise(com::err::PathFileAccess,
                   "Cannot copy " + source.string() + " to " + target.string() + ": " + ec.message());
    }
}

}  // namespace kado::setup
