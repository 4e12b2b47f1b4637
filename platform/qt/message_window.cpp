#include "platform/qt/message_window.h"

#include <QApplication>
#include <memory>
#include <optional>

#include "platform/forms/forms.h"
#include "platform/qt/qt_desktop.h"

namespace kado::qtview {

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
