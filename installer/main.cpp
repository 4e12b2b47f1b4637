// ModulSetup: shows frmModulSetup, which installs the extension lying beside
// the executable. Without a display it prints the window's captions instead
// and ends as if OK had been pressed.
#include <filesystem>
#include <iostream>
#include <memory>

#include "installer/frm_modul_setup.h"
#include "installer/start_folder.h"
#include "platform/forms/forms.h"

#ifdef KADO_SETUP_QT
#include <QApplication>

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

int RunWithoutDisplay(const fs::path& start) {
    ModulSetup setup(std::make_shared<kado::forms::HeadlessDesktop>(), start);
    kado::forms::Form& window = setup.Window();
    window.Load();
    for (const std::string& caption : kado::setup::ShownCaptions(window)) std::cout << caption << '\n';
    std::cout.flush();
    window.Get<kado::forms::CommandButton>("Command1").Click();
    return 0;
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
    window.Load();
    if (!window.Visible()) return 0;
    return QApplication::exec();
}
#endif

}  // namespace

int main(int argc, char** argv) {
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
