// A host test's own folder: its config home (settings, and the component
// registry with the built plug-in) and the host's program folder, where
// Verw.log goes. No user's settings or registry are touched.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "host/demo.h"
#include "platform/settings/settings.h"
#include "support/built_plugin.h"

namespace kado::testing {

// A fresh folder under the temporary one, named after `prefix`; it holds
// config/ (exported as XDG_CONFIG_HOME) and prog/ (Pfade/Programm).
inline std::filesystem::path HostHome(const std::string& prefix) {
    std::string tmpl = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    const std::filesystem::path dir = ::mkdtemp(tmpl.data());
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    std::filesystem::create_directories(dir / "prog");
    settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", (dir / "prog").string());
    RegisterBuiltPlugin();
    return dir;
}

// kado-host init's demo data in `dir`, without its report; its exit code.
inline int QuietInit(const std::filesystem::path& dir) {
    std::ostringstream quiet;
    auto* old = std::cout.rdbuf(quiet.rdbuf());
    const int rc = host::Init(dir);
    std::cout.rdbuf(old);
    return rc;
}

}  // namespace kado::testing
