// frmKat1's fee rule: counts times unit fees, the splinter reduction on the
// subtotal, the marked points, then the larger of the two value factors.
#include <string>

#include "platform/com/numtext.h"
#include "plugin/common/number_text.h"
#include "plugin/common/steps.h"
#include "plugin/dialogs/categories/fee_schedule.h"
#include "plugin/dialogs/categories/frm_kat1.h"
#include "plugin/dialogs/framework/field_access.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"

namespace honora::kat1 {

namespace forms = kado::forms;

const std::array<FeeItem, 8> kFeeItems = {{
    {schedule::kOriginalParcels, "Ausgangsflurstücke", "grdAusFlur", "mskAusFlur", "lblAusFlur"},
    {.item = schedule::kSplitFormed, .text = "gebildete Flurstücke", .description = "grdNeuFlur",
     .count = "mskGesamt", .label = "lblNeuFlur", .logModule = "Rechnung", .logProcedure = "mskGesamt"},
    {.item = schedule::kTwoSmall, .text = "Ermäßigungen 2 Flurstücke mit Fläche < 75m² ", .description = "txt_2",
     .count = "mskGesamt2", .label = "lblNeu2", .logModule = "Rechnung", .logProcedure = "mskGesamt2_LostFocus"},
    {.item = schedule::kFirstSmall, .text = "Ermäßigungen Fläche < 75m², erstes Flurstück ",
     .description = "txt_50", .count = ctl::kGesamt75, .label = "lblNeu75", .logModule = "Rechnung",
     .logProcedure = "mskGesamt75_LostFocus"},
    {.item = schedule::kFurtherSmall, .text = "Ermäßigungen Fläche < 75m², weitere Flurstück ",
     .count = ctl::kWeiter75, .label = "lblNeu75_51", .numbered = false},
    {.item = schedule::kLargeIncrease, .text = "Anzahl der Erhöhungen Fläche > 599/524 m² ", .description = "Text4",
     .count = "mskGesamt599", .label = "lblNeu499", .logModule = "Rechnung", .logProcedure = "mskGesamt599_LostFocus"},
    {schedule::kBoundaryPoints, "Grenzpunkte der neuen Grenze", nullptr, "mskGP", "lblGP"},
    {schedule::kMarking, "abzumarkende Grenzpunkte der neuen Grenze", nullptr, ctl::kAGP, "lblAGP"},
}};

Inputs ReadInputs(forms::Form& form) {
    Inputs in;
    ReadCounts(form, kFeeItems, in.counts);
    in.splinter = form.Get<forms::CheckBox>(ctl::kSplitter).Value() == 1;
    in.classification = LabelValue(form, honora::ctl::kStrasse);
    in.landValue = LabelValue(form, honora::ctl::kFaktor);
    return in;
}

Fees ComputeFees(const Inputs& in) {
    Fees f;
    // Every item up to the boundary points; the marked points come after the reduction.
    const size_t marked = kFeeItems.size() - 1;
    double sum = ItemFees(std::span(kFeeItems).first(marked), in.counts, f.items);
    f.subtotal = sum;
    if (in.splinter) sum *= schedule::kSplinterFactor;
    f.items[marked] = in.counts[marked] * kFeeItems[marked].item.unitFee;
    sum += f.items[marked];
    const double factor = in.classification > in.landValue ? in.classification : in.landValue;
    f.total = factor * sum;
    return f;
}

FeeRecord Record(const Fees& fees) {
    FeeRecord r = ItemFeeRecord(kFeeItems, fees.items, ctl::kZwischen, fees.subtotal);
    r.Add(ctl::kSumme, fees.total);
    return r;
}

std::string Contradiction(forms::Form& form, const FeeRecord& fees) {
    using kado::com::NumberToText;
    // The subtotal as the dialog shows it: a rounding below zero is no contradiction.
    const std::string& subtotalText = fees.Text(ctl::kZwischen);
    if (fees.Shown(ctl::kZwischen) >= 0) return {};
    const Inputs in = ReadInputs(form);
    const double formed = in.counts[1], twoSmall = in.counts[2], firstSmall = in.counts[3], furtherSmall = in.counts[kFurtherSmallIndex];
    // A division into two small parcels forms two of them; every small parcel
    // is one of the formed ones and counts under one reduction only.
    const double small = 2 * twoSmall + firstSmall + furtherSmall;
    const std::string tail = ".\nBitte die Anzahlen berichtigen; in die Rechnung wurde nichts geschrieben.";
    if (small <= formed) return "Die Zwischensumme wäre negativ (" + subtotalText + " €)" + tail;
    std::string parts;
    auto part = [&](const char* caption, double n, const std::string& extra = {}) {
        if (n != 0) parts += (parts.empty() ? "" : "; ") + std::string(caption) + ": " + NumberToText(n) + extra;
    };
    part("davon Zerlegung in 2 Flurstücke < 75m²", twoSmall, ", also " + NumberToText(2 * twoSmall) + " Flurstücke");
    part("davon Fläche < 75m², erstes", firstSmall);
    part("weitere", furtherSmall);
    return "Die Anzahlen widersprechen sich: die Ermäßigungen zählen " + NumberToText(small) + " Flurstücke < 75m² (" +
           parts + "), gebildete Flurstücke sind aber nur " + NumberToText(formed) + tail;
}

void StartwerteSetzen(forms::Form& form) {
    Steps s(kName, "Zeitdifferenz");
    for (const auto& p : kFeeItems)
        if (p.description) s(500, [&] { SetFieldText(form, p.description, ""); });
    for (const auto& p : kFeeItems)
        if (p.count != std::string_view(ctl::kWeiter75)) s(510, [&] { SetFieldText(form, p.count, "    "); });
    s(520, [&] { SetFieldText(form, honora::ctl::kBoden, "    "); });
}

}  // namespace honora::kat1
