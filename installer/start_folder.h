// Where the installer was started from: the folder its executable lies in,
// which holds the extension files and receives the installer's error log.
#pragma once

#include <filesystem>

namespace kado::setup {

// The folder of the running executable; throws com::Error when it cannot be told.
std::filesystem::path StartFolder();

}  // namespace kado::setup
