// A schedule item counted at a unit fee, as several categories have them:
// its fee into its label, and the row blocks the fee table shows it in.
#pragma once

#include <span>
#include <string>

#include "platform/forms/forms.h"
#include "plugin/dialogs/framework/fee_rows.h"

namespace honora {

struct FeeItem {
    const char* item;         // column 1, such as "30.21.1"; "" leaves it empty
    const char* text;         // column 2 of the item's first row
    const char* description;  // text box copied beside the count, or nullptr
    const char* count;        // masked field, read plainly
    double unitFee;
    const char* unitText;  // column 4, such as "150,00 €"
    const char* label;     // the item's fee
};

// count × unit fee, the count read plainly.
double ItemAmount(kado::forms::Form& form, const FeeItem& item);
// The same, written into the item's label; the caller sums it unrounded.
double ItemFee(kado::forms::Form& form, const FeeItem& item);

// The items' fees written into their labels; their unrounded sum.
double ItemsFee(kado::forms::Form& form, std::span<const FeeItem> items);

// Number and text; below them description, count, unit fee and fee; then an empty row.
BlockSpec TwoRowItem(const FeeItem& item, Condition when = {});
// Number, text, count, unit fee and fee in one row; then an empty row.
BlockSpec OneRowItem(const FeeItem& item, Condition when = {});

// The unit fee as the dialog shows it beside the count: the column-4 text without " €".
std::string UnitCaption(const FeeItem& item);

}  // namespace honora
