#include "plugin/dialogs/framework/fee_check.h"

#include <memory>

#include "plugin/common/icon_form.h"
#include "plugin/common/number_text.h"
#include "plugin/component/session_context.h"
#include "plugin/dialogs/framework/share.h"

namespace honora {

namespace forms = kado::forms;

std::string Contradiction(const Category& category, forms::Form& form, const FeeRecord& fees,
                          const FeeTable& content) {
    if (category.contradiction)
        if (std::string w = category.contradiction(form, fees); !w.empty()) return w;
    // The fee counts as its text shows it: -0,004 shows "0,00" and is no fault.
    if (content.feeShown < 0)
        return "Die Gebühr wäre negativ (" + content.fee + " €). Bitte die Anzahlen prüfen; in die Rechnung wurde "
               "nichts geschrieben.";
    if (!ShareIsWholeJob(content.share)) {
        const std::string shareRow = ShareAmount(content.feeShown, content.shareFactor, content.share);
        if (CVal(shareRow) < 0)
            return "Der Anteil wäre negativ (" + shareRow + " €). Bitte die Anzahlen prüfen; in die Rechnung wurde "
                   "nichts geschrieben.";
    }
    return {};
}

void ShowHint(std::string_view text) {
    auto form = forms::Form::Create(SessionDesktop(), "G_frmHinweis", [text = std::string(text)](forms::Form& f) {
        f.SetCaption("Hinweis");
        f.Add<forms::Label>("lblHinweis", {0, 0, 1, 2}).SetCaption(text);
        auto& ok = f.Add<forms::CommandButton>("cmdOK", {1, 1});
        ok.SetCaption("OK");
        ok.OnClick([&f] { f.Hide(); });
    });
    form->SetIcon(ComponentIcon());
    form->Show(true);
    form->Unload();
}

}  // namespace honora
