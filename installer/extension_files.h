// What the installer does with the files of its start folder: list them, tell
// libraries from other files, and copy them into the host's program folder.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kado::setup {

// The registration tool's file name; it is copied like the rest but never registered.
inline constexpr std::string_view kRegistrationTool = "kado-regsvr";

// Names of the plain files in the folder (no sub-folders), sorted by name so a
// run is the same on every file system. Throws com::Error when it cannot be read.
std::vector<std::string> ListPlainFiles(const std::filesystem::path& folder);

// ASCII letters lower-cased, every other byte kept.
std::string LowerCase(std::string_view name);

// A library ends with ".so" in any case; "x.so.bak" is a backup, not a library.
bool IsLibrary(std::string_view name);

// Copies the file over the target's file of the same name. When both names are
// one and the same file nothing is copied: a copy onto itself would truncate it.
// Throws com::Error (75) naming both paths when the copy fails.
void CopyOver(const std::filesystem::path& source, const std::filesystem::path& target);

}  // namespace kado::setup
