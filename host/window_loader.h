// kado-host's window, loaded from its module when it opens.
#pragma once

#include <ostream>

#include "host/gui/window_start.h"

namespace kado::host {

// Loads the window's module from beside the platform libraries and runs the
// window until it is closed; gives its exit code. When the module is missing,
// cannot be loaded or lacks its entry point, says so on `err` and gives 2.
int OpenWindow(const gui::GuiStart& start, int argc, char** argv, std::ostream& err);

}  // namespace kado::host
