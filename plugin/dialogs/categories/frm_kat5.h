// frmKat5, the Grenzfeststellung dialog (item 30.6): its controls, its fee
// rule and its fee table, declared once for the confirmation and the read-back.
#pragma once

#include <string_view>

#include "platform/forms/forms.h"
#include "plugin/dialogs/framework/category.h"
#include "plugin/dialogs/framework/fee_record.h"

namespace honora::kat5 {

inline constexpr std::string_view kName = "frmKat5";
inline constexpr std::string_view kCaption = "Grenzfeststellung nach Nr. 30.6";

// The controls the fee rule and the table work with (the frame's are in frame_controls.h).
namespace ctl {
inline constexpr char kNr[] = "optNr";  // the kind: index 0 item 30.6.1, index 3 item 30.6.2
inline constexpr char kNr0[] = "optNr(0)";
inline constexpr char kNr3[] = "optNr(3)";
inline constexpr char kAGPo[] = "mskAGPo";  // boundary points determined
inline constexpr char kLblAGPo[] = "lblAGPo";
inline constexpr char kAGP[] = "mskAGP";  // boundary points marked
inline constexpr char kLblAGP[] = "lblAGP";
inline constexpr char kZwischen[] = "lblZwischen";
inline constexpr char kFaktorArt[] = "optFaktor";  // the basis the table shows: 0 land value, 1 classification
inline constexpr char kFaktor0[] = "optFaktor(0)";
inline constexpr char kFaktor1[] = "optFaktor(1)";
inline constexpr char kZF[] = "lblZF";
inline constexpr char kSockel[] = "lblSockel";
inline constexpr char kSumme[] = "lblSumme";
}  // namespace ctl

// The dialog as the shared frame runs it: names, marker "Honora_5", widths,
// rows, features and the hooks below; the counts and the kind options recompute.
Category Definition();

// Controls with their design values, on the dialog's grid. The shared rules
// (select-all, factors, comma key, buttons) are attached by the frame.
void Controls(kado::forms::Form& form);

// A mere check of the marks (optNr(3)) marks nothing: mskAGP is blanked and
// disabled; the kind optNr(0) enables it again.
void KindRule(kado::forms::Form& form);

// What the fee rule reads: both counts read plainly, both factors as their labels show them.
struct Inputs {
    double determined = 0;  // mskAGPo
    double marked = 0;      // mskAGP
    double landValue = 0;   // lblFaktor
    double classification = 0;  // lblStrasse
};
struct Fees {
    double determined = 0;
    double marked = 0;
    double subtotal = 0;
    double factored = 0;  // subtotal × the larger factor
    double base = 0;      // the Sockelbetrag
    double total = 0;
};
Inputs ReadInputs(kado::forms::Form& form);
Fees ComputeFees(const Inputs& in);
// lblAGPo, lblAGP, lblZwischen, lblZF, lblSockel and lblSumme.
FeeRecord Record(const Fees& fees);

// The fee table: 17 rows (the frame adds the share rows). Row 5 keeps its place
// when nothing was marked, so the read-back positions stay fixed.
FeeRows TableRows();

}  // namespace honora::kat5
