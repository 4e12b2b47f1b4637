// kado-regsvr, the registration tool: loads a component library once and
// calls its registration entry point (with /u the unregistration one).
// Usage: kado-regsvr [/u] [/s] LIBRARY; the result goes to a message window when a
// display is there, else to standard output or error; /s reports nothing; exit 0 on success.
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "platform/com/component_library.h"
#include "platform/com/component_server.h"
#include "platform/com/error.h"
#ifdef KADO_REGSVR_WINDOW
#include "platform/qt/message_window.h"
#endif

namespace {

namespace entry = kado::com::entry;

// In a message window when a display is there, else on the given stream.
void Report(const std::string& text, std::ostream& stream) {
#ifdef KADO_REGSVR_WINDOW
    if (kado::qtview::DisplayAvailable()) return kado::qtview::ShowMessage("kado-regsvr", text);
#endif
    stream << "kado-regsvr: " << text << "\n";
}

int Usage() {
    std::cerr << "kado-regsvr: Aufruf: kado-regsvr [/u] [/s] BIBLIOTHEK\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool unregister = false, silent = false;
    std::string library;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "/u" || arg == "/U") {
            unregister = true;
        } else if (arg == "/s" || arg == "/S") {
            silent = true;
        } else if (library.empty() && !arg.empty()) {
            library = arg;
        } else {
            return Usage();
        }
    }
    if (library.empty()) return Usage();
    auto fail = [&](const std::string& text) {
        if (!silent) Report(library + ": " + text, std::cerr);
        return 1;
    };
    try {
        auto lib = kado::com::ComponentLibrary::Load(library);
        const char* name = unregister ? entry::kUnregisterServer : entry::kRegisterServer;
        auto call = reinterpret_cast<entry::RegisterServerFn>(lib->Symbol(name));
        if (!call) return fail(std::string("kein Einstiegspunkt ") + name);
        char message[1024] = {};
        const int result = call(message, sizeof message);
        if (result != 0) return fail("Fehler " + std::to_string(result) + ": " + message);
        if (!silent) Report(message, std::cout);
        return 0;
    } catch (const kado::com::Error& e) {
        return fail(e.Description());
    }
}
