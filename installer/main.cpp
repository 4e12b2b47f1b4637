// ModulSetup: shows frmModulSetup, which installs the extension lying beside
// the executable. Without a display it prints the window's captions instead
// and ends as if OK had been pressed. Exit 1 when the target is missing or a
// copy or registration failed, 2 for an argument it does not know.
#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string_view>

#include "installer/frm_modul_setup.h"
#include "installer/start_folder.h"
#include "platform/forms/forms.h"

#ifdef KADO_SETUP_QT
#include <QApplication>
#include <QTimer>

#include "platform/qt/message_window.h"
#include "platform/qt/qt_desktop.h"
#endif

namespace {

namespace fs = std::filesystem;
using kado::setup::ModulSetup;

fs::path StartFolderOf(const char* argv0) {
    try {
        return kado::setup::StartFolder();
    } catch (...) {
        std::error_code ec;
        return fs::absolute(argv0, ec).parent_path();
    }
}

using namespace std::chrono_literals;

constexpr const char* kUsage =
    "Aufruf: ModulSetup [-h|--help]\n"
    "\n"
    "Installiert die Erweiterung aus dem Ordner, in dem ModulSetup liegt: kopiert jede\n"
    "Datei dieses Ordners (ohne Unterordner) in den Programmordner des Hosts und\n"
    "registriert jede Bibliothek (*.so) dort mit kado-regsvr.\n"
    "\n"
    "Programmordner: Einstellung Pfade/Programm von KadoVerwaltung\n"
    "($XDG_CONFIG_HOME/KadoVerwaltung/settings.ini); fehlt sie, installiert ModulSetup\n"
    "in seinen eigenen Ordner und trägt ihn ein. Ein Programmordner, den es nicht gibt,\n"
    "wird nicht angelegt: dann wird nichts installiert.\n"
    "\n"
    "Mit Anzeige zeigt ModulSetup sein Fenster bis OK, ohne Anzeige (kein DISPLAY oder\n"
    "WAYLAND_DISPLAY, oder QT_QPA_PLATFORM=offscreen) schreibt es die Texte des Fensters\n"
    "zeilenweise auf die Standardausgabe. Fehler stehen im Fenster und in Verw.log im\n"
    "Ordner von ModulSetup.\n"
    "\n"
    "  -h, --help  diese Hilfe zeigen, nichts installieren\n"
    "\n"
    "Exit-Code: 0 installiert, 1 der Zielpfad fehlt, eine Datei wurde nicht kopiert oder eine\n"
    "Registrierung ist fehlgeschlagen, 2 unbekanntes Argument.\n";

// Without a window to watch, the registrations are waited for (bounded) so the
// exit code and the printed window tell how they ended.
constexpr auto kRegistrationWait = 60s;

int RunWithoutDisplay(const fs::path& start) {
    ModulSetup setup(std::make_shared<kado::forms::HeadlessDesktop>(), start);
    kado::forms::Form& window = setup.Window();
    window.Load();
    setup.AwaitRegistrations(kRegistrationWait);
    for (const std::string& caption : kado::setup::ShownCaptions(window)) std::cout << caption << '\n';
    std::cout.flush();
    window.Get<kado::forms::CommandButton>("Command1").Click();
    return setup.ExitCode();
}

#ifdef KADO_SETUP_QT
int RunInWindow(int argc, char** argv, const fs::path& start) {
    QApplication app(argc, argv);
    auto desktop = std::make_shared<kado::qtview::QtDesktop>();
    ModulSetup setup(desktop, start);
    kado::forms::Form& window = setup.Window();
    // OK unloads the window; that ends the program.
    auto closed = window.Subscribe([](kado::forms::Form& form, kado::forms::Control* control,
                                      kado::forms::Change change) {
        if (control == nullptr && (change == kado::forms::Change::Hidden || !form.Loaded())) QApplication::quit();
    });
    // The registrations end while the window is open; their failures join it.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        setup.AwaitRegistrations(0ms);
        if (!setup.RegistrationsRunning()) watch.stop();
    });
    window.Load();
    watch.start(200);
    if (window.Visible()) QApplication::exec();
    setup.AwaitRegistrations(0ms);
    return setup.ExitCode();
}
#endif

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
    }
    if (argc > 1) {
        std::cerr << "ModulSetup: unbekanntes Argument \"" << argv[1] << "\"; nichts installiert\n\n" << kUsage;
        return 2;
    }
    const fs::path start = StartFolderOf(argc > 0 ? argv[0] : "ModulSetup");
    try {
#ifdef KADO_SETUP_QT
        if (kado::qtview::DisplayAvailable()) return RunInWindow(argc, argv, start);
#endif
        return RunWithoutDisplay(start);
    } catch (const std::exception& e) {
        std::cerr << "ModulSetup: " << e.what() << '\n';
        return 1;
    }
}
