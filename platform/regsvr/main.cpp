// kado-regsvr, the registration tool: loads a component library once and
// calls its registration entry point (with /u the unregistration one).
// Usage: kado-regsvr [/u] [/s] LIBRARY; the result goes to a message window when a
// display is there, else to standard output or error; /s reports nothing; exit 0 on
// success, 1 when the library failed, 2 for bad arguments; -h or --help shows the usage.
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

constexpr const char* kUsage =
    "Aufruf: kado-regsvr [/u] [/s] BIBLIOTHEK\n"
    "\n"
    "Lädt die Komponentenbibliothek BIBLIOTHEK und trägt ihre Komponenten in das\n"
    "Komponentenregister des Benutzers ein ($XDG_CONFIG_HOME/KadoKomponenten/registry.txt).\n"
    "\n"
    "  /u          austragen statt eintragen\n"
    "  /s          still: keine Meldung, nur der Exit-Code\n"
    "  -h, --help  diese Hilfe zeigen, nichts laden\n"
    "\n"
    "Die Meldung erscheint in einem Fenster, wenn eine Anzeige da ist, sonst auf der\n"
    "Standardausgabe (Erfolg) oder der Standardfehlerausgabe (Fehler).\n"
    "Exit-Code: 0 erledigt, 1 die Bibliothek ist fehlgeschlagen, 2 falscher Aufruf.\n";

// In a message window when a display is there, else on the given stream.
void Report(const std::string& title, const std::string& text, std::ostream& stream) {
#ifdef KADO_REGSVR_WINDOW
    if (kado::qtview::DisplayAvailable()) return kado::qtview::ShowMessage(title, text);
#else
    (void)title;
#endif
    stream << "kado-regsvr: " << text << "\n";
}

int Usage(const std::string& problem) {
    std::cerr << "kado-regsvr: " << problem << "\n\n" << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool unregister = false, silent = false;
    std::string library;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help" || arg == "/?") {
            std::cout << kUsage;
            return 0;
        }
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "/u" || arg == "/U") {
            unregister = true;
        } else if (arg == "/s" || arg == "/S") {
            silent = true;
        } else if (arg.starts_with("-")) {
            // A library named like an option is meant as one; "./-x" still names a file.
            return Usage("unbekannte Option \"" + std::string(arg) + "\"");
        } else if (library.empty() && !arg.empty()) {
            library = arg;
        } else {
            return Usage("zu viele Argumente: \"" + std::string(arg) + "\"");
        }
    }
    if (library.empty()) return Usage("keine Bibliothek angegeben");
    const std::string title = unregister ? "Komponente austragen" : "Komponente registrieren";
    auto fail = [&](const std::string& text) {
        if (!silent) Report(title + " fehlgeschlagen", library + ": " + text, std::cerr);
        return 1;
    };
    try {
        auto lib = kado::com::ComponentLibrary::Load(library);
        const char* name = unregister ? entry::kUnregisterServer : entry::kRegisterServer;
        auto call = reinterpret_cast<entry::RegisterServerFn>(lib->Symbol(name));
        if (!call) return fail(std::string("die Bibliothek hat keinen Einstiegspunkt ") + name);
        char message[1024] = {};
        const int result = call(message, sizeof message);
        if (result != 0) return fail("Fehler " + std::to_string(result) + ": " + message);
        if (!silent) Report(title, message, std::cout);
        return 0;
    } catch (const kado::com::Error& e) {
        // The platform's own text is quoted as it stands.
        return fail("kann nicht geladen werden: Fehler " + std::to_string(e.Number()) + ": \"" + e.Description() +
                    "\"");
    }
}
