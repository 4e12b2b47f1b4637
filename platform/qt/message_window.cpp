#include "platform/qt/message_window.h"

#include <QApplication>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/forms/forms.h"
#include "platform/qt/qt_desktop.h"

namespace kado::qtview {

bool DisplayAvailable() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && std::string_view(platform).starts_with("offscreen")) return false;
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x != nullptr && *x != '\0') || (wayland != nullptr && *wayland != '\0');
}

void ShowMessage(const std::string& title, const std::string& text) {
    int argc = 1;
    char name[] = "kado";
    char* argv[] = {name, nullptr};
    std::optional<QApplication> app;
    if (QApplication::instance() == nullptr) app.emplace(argc, argv);
    auto desktop = std::make_shared<QtDesktop>();
    auto form = forms::Form::Create(desktop, "frmMeldung", [&](forms::Form& f) {
        f.SetCaption(title);
        f.Add<forms::Label>("lblMeldung", {0, 0, 1, 2}).SetCaption(text);
        auto& ok = f.Add<forms::CommandButton>("cmdOK", {1, 1});
        ok.SetCaption("&OK");
        ok.OnClick([&f] { f.Unload(); });
    });
    form->Show(true);
}

}  // namespace kado::qtview
