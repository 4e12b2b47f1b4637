// frmKat5, the Grenzfeststellung dialog (item 30.6): its controls, its fee
// rule, the rows of its fee table and the read-back of an earlier one.
#pragma once

#include <string>
#include <string_view>

#include "platform/forms/forms.h"
#include "platform/word/word.h"
#include "plugin/dialogs/framework/category.h"

namespace honora::kat5 {

inline constexpr std::string_view kName = "frmKat5";
inline constexpr std::string_view kCaption = "Grenzfeststellung nach Nr. 30.6";

// The dialog as the shared frame runs it: names, marker "Honora_5", widths,
// and the hooks below; the counts and the kind options recompute.
Category Kategorie();

// Controls with their design values, on the dialog's grid. The shared rules
// (select-all, factors, comma key, buttons) are attached by the frame.
void Controls(kado::forms::Form& form);

// Recomputes every amount label from the counts, the kind and the two factor
// labels; failures are logged as frmKat5.Zeitdifferenz.
void GebührBerechnen(kado::forms::Form& form);

// Does nothing in this dialog; kept so the load sequence reads like the others.
void StartwerteSetzen(kado::forms::Form& form);

// The heading for the selected kind.
std::string Überschrift(kado::forms::Form& form);

// The fee table as the labels show it now (17 rows; the frame adds the share rows).
FeeTable Gebührentabelle(kado::forms::Form& form);

// Restores kind, counts, factor basis with its input and factor, and share from an
// earlier fee table of this dialog; the frame recomputes after it. Logged as
// Rechnung.TabelleEinlesen.
void TabelleEinlesen(kado::forms::Form& form, const kado::word::Table& Tabelle);

}  // namespace honora::kat5
