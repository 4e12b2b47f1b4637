// The table-choice dialog "Tabellenwahl": which existing fee block of a
// category a dialog rewrites, a new one, or the table at the cursor.
#pragma once

#include <memory>

#include "platform/forms/forms.h"

namespace honora {

// The existing fee blocks of a category the choice offers (optTabelle(0..4)):
// as many as the dialog has rows for, whatever the number of categories.
inline constexpr int kBlockOptions = 5;

// Design of G_frmTabelle: the frame "fraTabelle" holding, one per row, optNeu,
// optTabelle(0..4) and optAktTabelle; cmdEnde below it.
void G_frmTabelle_Design(kado::forms::Form& form);

// The one instance of the session, created on first use on SessionDesktop().
// It stays loaded (hidden) between uses, so it keeps the option chosen last.
std::shared_ptr<kado::forms::Form> G_frmTabelle();

}  // namespace honora
