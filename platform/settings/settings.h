// Per-user settings store addressed by application, section and key.
// One INI file per application under $XDG_CONFIG_HOME (or ~/.config).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kado::settings {

// Where the store of an application lives: <config home>/<application>/settings.ini.
// Throws com::Error when no config home can be determined.
std::filesystem::path StorePath(std::string_view application);

// What identifies the store's file as it stands (device, inode, size, change
// times), empty when there is none: equal stamps mean an unchanged store, so a
// caller may keep what it read. One stat; throws com::Error like StorePath.
std::string StoreStamp(std::string_view application);

// The stored text, or the default when the file, section or key is missing.
// Throws com::Error (e.g. 70) only when the store exists but cannot be read.
std::string GetSetting(std::string_view application, std::string_view section, std::string_view key,
                       std::string_view defaultValue = {});

// Writes atomically (temporary file beside the store, flush, rename).
// Throws com::Error when the store cannot be written; the old file stays intact.
void SaveSetting(std::string_view application, std::string_view section, std::string_view key,
                 std::string_view value);

// Removes one key; a missing key is no error.
void DeleteSetting(std::string_view application, std::string_view section, std::string_view key);

}  // namespace kado::settings
