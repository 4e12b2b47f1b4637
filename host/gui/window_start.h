// What kado-host hands its window, and the module the window is built into:
// the command line loads it only when the window opens, so the batch commands
// load no Qt library. Free of Qt itself.
#pragma once

#include <filesystem>
#include <optional>

namespace kado::host::gui {

// kado-host gui: the window on the given files (none: an empty window), until it is closed.
struct GuiStart {
    std::filesystem::path db, doc;
    int user = 1;
    std::optional<int> invoice;
};

// The module beside the platform libraries and its one entry point, which runs RunGui.
inline constexpr const char* kWindowModule = "libkado_host_window.so";
inline constexpr const char* kRunWindow = "kado_host_run_window";
using RunWindowFn = int (*)(const GuiStart& start, int argc, char** argv);

}  // namespace kado::host::gui
