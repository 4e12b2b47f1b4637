// Where the window tests keep their screenshots: KADO_SHOTS when set (the run
// under an X server names its own folder), else build/test-output.
#pragma once

#include <stdlib.h>

#include <filesystem>

namespace kado::testing {

inline std::filesystem::path ShotsDir() {
    const char* chosen = ::getenv("KADO_SHOTS");
    std::filesystem::path dir =
        chosen && *chosen ? std::filesystem::path(chosen) : std::filesystem::path(KADO_BINARY_DIR) / "test-output";
    std::filesystem::create_directories(dir);
    return dir;
}

}  // namespace kado::testing
