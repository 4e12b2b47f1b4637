#include "host/window_loader.h"

#include <dlfcn.h>

#include <string>

#include "platform/com/component_library.h"

namespace kado::host {

int OpenWindow(const gui::GuiStart& start, int argc, char** argv, std::ostream& err) {
    const std::string path = com::BesidePlatform(gui::kWindowModule).string();
    // Never unloaded: Qt's exit handlers run after main returns.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* why = ::dlerror();
        err << "kado-host: das Fenster lässt sich nicht laden: " << (why ? why : path) << "\n";
        return 2;
    }
    auto run = reinterpret_cast<gui::RunWindowFn>(::dlsym(module, gui::kRunWindow));
    if (run == nullptr) {
        err << "kado-host: " << path << " ist nicht das Fenster von kado-host (kein Einstieg " << gui::kRunWindow
            << ")\n";
        return 2;
    }
    return run(start, argc, argv);
}

}  // namespace kado::host
