#include "plugin/invoice/g_frm_tabelle.h"

#include <string>

#include "plugin/common/icon_form.h"
#include "plugin/common/steps.h"
#include "plugin/common/window_placement.h"
#include "plugin/component/session_context.h"

namespace honora {

using namespace kado::forms;

namespace {

constexpr const char* kFrame = "fraTabelle";

void Form_Load(Form& form) {
    Steps s("G_frmTabelle", "Form_Load");
    s(100, [&] { GetWindowReg(form); });
    s(110, [&] { form.SetIcon(ComponentIcon()); });
    s(120, [&] { form.Get<OptionButton>("optNeu").SetValue(true); });
    s(130, [&] { form.Get<CommandButton>("cmdEnde").SetPicture(ButtonPicture("OK")); });
}

void Form_Unload(Form& form) {
    Steps s("G_frmTabelle", "Form_Unload");
    s(100, [&] { SetWindowReg(form); });
}

}  // namespace

void G_frmTabelle_Design(Form& form) {
    form.SetCaption("Tabellenwahl");
    form.Add<Frame>(kFrame, {0, 0}).SetCaption("zu bearbeitende Tabelle auswählen");
    form.Add<OptionButton>("optNeu", {0, 0}, -1, kFrame).SetCaption("neuer Abrechnungspunkt");
    for (int i = 0; i < kBlockOptions; ++i) {
        form.Add<OptionButton>("optTabelle", {i + 1, 0}, i, kFrame)
            .SetCaption(std::to_string(i + 1) + ". vorhandener Eintrag");
    }
    form.Add<OptionButton>("optAktTabelle", {6, 0}, -1, kFrame)
        .SetCaption("aktuelle Cursorposition als Abrechnungspunkt interpretieren");
    auto& tail = form.Add<CommandButton>("cmdEnde", {1, 0});
    tail.SetWidthChars(8);
    // Hidden, not unloaded: the next use within the session keeps the choice.
    tail.OnClick([&form] { form.Hide(); });
    form.OnLoad([&form] { Form_Load(form); });
    form.OnUnload([&form] { Form_Unload(form); });
}

std::shared_ptr<Form> G_frmTabelle() {
    auto& form = Session().G_frmTabelle;
    if (!form) form = Form::Create(SessionDesktop(), "G_frmTabelle", G_frmTabelle_Design);
    return form;
}

}  // namespace honora
