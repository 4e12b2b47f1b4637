#include "plugin/component/session_context.h"

#include <initializer_list>
#include <utility>

#include "plugin/common/icon_form.h"
#include "plugin/common/steps.h"

namespace honora {

SessionContext& Session() {
    static SessionContext session;
    return session;
}

std::shared_ptr<kado::forms::Desktop> SessionDesktop() {
    auto& desktop = Session().Desktop;
    if (!desktop) desktop = kado::forms::InstalledDesktop();
    if (!desktop) desktop = std::make_shared<kado::forms::HeadlessDesktop>();
    return desktop;
}

std::shared_ptr<kado::forms::Form> IconForm() {
    auto& form = Session().frmIcons;
    if (!form) form = kado::forms::Form::Create(SessionDesktop(), std::string(kIconFormName), frmIcons_Design);
    return form;
}

// Declared with the icon form's design in plugin/common; the instance it reads
// lives here in the session.
kado::forms::Picture ButtonPicture(std::string_view key) {
    auto form = IconForm();
    return form->Get<kado::forms::ImageList>("ImageListButton").Picture(key);
}

void UnloadLastingForms() {
    // Taken out of the session first, so an Unload handler that reaches for a
    // lasting form does not bring it back.
    auto tabelle = std::exchange(Session().G_frmTabelle, nullptr);
    auto icons = std::exchange(Session().frmIcons, nullptr);
    for (auto* form : {&tabelle, &icons}) {
        // The component is going away; nothing may stop that.
        if (*form && (*form)->Loaded()) Steps::Quiet([&] { (*form)->Unload(); });
    }
}

void ResetSession() {
    UnloadLastingForms();
    Session() = SessionContext{};
}

}  // namespace honora
