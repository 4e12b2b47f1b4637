#include "plugin/dialogs/framework/frame_controls.h"

namespace honora {

namespace forms = kado::forms;

void AddFrameControls(forms::Form& form, const FramePlaces& places) {
    form.Add<forms::Label>("lblKostenanteil", places.shareCaption, -1, places.container).SetCaption("Kostenanteil");
    auto& basis = form.Add<forms::MaskEdBox>(ctl::kBezug, places.share, -1, places.container);
    basis.SetMask("####,##");
    form.Add<forms::Label>("lblPromille", places.shareUnit, -1, places.container).SetCaption("/ 1000");
    form.Add<forms::Label>(ctl::kVersion, places.version);
    form.Add<forms::CommandButton>(ctl::kEnde, places.ok).SetCaption("&OK");
    form.Add<forms::CommandButton>(ctl::kAbbruch, places.cancel).SetCaption("&Abbruch");
}

}  // namespace honora
