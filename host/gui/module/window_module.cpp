// The window as kado-host loads it when it opens (libkado_host_window.so).
#include "host/gui/main_window.h"

extern "C" __attribute__((visibility("default"))) int kado_host_run_window(const kado::host::gui::GuiStart& start,
                                                                             int argc, char** argv) {
    return kado::host::gui::RunGui(start, argc, argv);
}
