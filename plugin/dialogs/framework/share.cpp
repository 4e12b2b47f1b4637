#include "plugin/dialogs/framework/share.h"

#include "platform/com/numtext.h"
#include "plugin/common/number_text.h"
#include "plugin/dialogs/framework/cell_io.h"
#include "plugin/dialogs/framework/frame_controls.h"

namespace honora {

bool ShareIsWholeJob(std::string_view share) { return kado::com::PlainRead(share) == 1000; }

std::string ShareText(std::string_view share) { return kado::com::NumberToText(CVal(share)); }

std::string ShareAmount(double shownFee, double factor, std::string_view share) {
    return WertFormatieren(kado::com::NumberToText(shownFee * factor * CVal(share) / 1000), 8, 2, true);
}

void ReadShareRow(kado::forms::Form& form, const kado::word::Table& feeTable, int16_t row) {
    if (ZelleEinlesen(feeTable, row, 2).rfind("Anteil", 0) != 0) return;
    form.Get<kado::forms::MaskEdBox>(ctl::kBezug)
        .SetText(WertFormatieren(ZelleEinlesen(feeTable, row, 3), 7, 2, true));
}

}  // namespace honora
