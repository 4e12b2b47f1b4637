// The per-user configuration folder every platform store lives under:
// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
#pragma once

#include <filesystem>

namespace kado::com {

// Fails with 76 when neither XDG_CONFIG_HOME nor HOME gives a folder.
std::filesystem::path ConfigHome();

}  // namespace kado::com
