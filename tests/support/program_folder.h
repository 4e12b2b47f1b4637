// A test's settings and program folder inside its own folder: the settings
// store in DIR/config, Pfade/Programm (where Verw.log goes) at DIR/prog.
#pragma once

#include <stdlib.h>

#include <filesystem>

#include "platform/settings/settings.h"

namespace kado::testing {

inline void UseProgramFolder(const std::filesystem::path& dir) {
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    std::filesystem::create_directories(dir / "config");
    std::filesystem::create_directories(dir / "prog");
    settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", (dir / "prog").string());
}

}  // namespace kado::testing
