// A host test's own folder: its config home (settings, and the component
// registry with the built plug-in) and the host's program folder, where
// Verw.log goes. No user's settings or registry are touched.
#pragma once

#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "host/demo.h"
#include "support/built_plugin.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"

namespace kado::testing {

// The test's folder (a TempDir's) made a host's: config/ (exported as
// XDG_CONFIG_HOME) with the registered plug-in, and prog/ (Pfade/Programm).
inline void HostHome(const std::filesystem::path& dir) {
    UseProgramFolder(dir);
    RegisterBuiltPlugin();
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
