#include "installer/extension_files.h"

#include <algorithm>
#include <system_error>

#include "installer/reason.h"
#include "platform/com/error.h"

namespace kado::setup {

namespace fs = std::filesystem;

std::vector<std::string> ListPlainFiles(const fs::path& folder) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) com::Raise(com::err::PathNotFound, "Der Ordner " + folder.string() + " kann nicht gelesen werden: " + Reason(ec));
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
    // The library says only "invalid argument" for a folder in the way.
    if (ec && fs::is_directory(target)) ec = std::make_error_code(std::errc::is_a_directory);
    if (ec) {
        com::Raise(com::err::PathFileAccess, "Kopieren von " + source.string() + " nach " + target.string() +
                                                 " fehlgeschlagen: " + Reason(ec));
    }
}

}  // namespace kado::setup
