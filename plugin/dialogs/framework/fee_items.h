// A schedule item counted at a unit fee, as several categories have them:
// its count and fee, and the row blocks the fee table shows it in.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "plugin/dialogs/framework/category.h"
#include "plugin/dialogs/framework/fee_record.h"
#include "plugin/dialogs/framework/fee_rows.h"

namespace honora {

// An item of the fee schedule: its number and unit fee in euros.
struct ScheduleItem {
    const char* number;  // "30.21.1"
    double unitFee;
};

struct FeeItem {
    ScheduleItem item;
    const char* text;                  // column 2 of the item's first row
    const char* description{};         // text box copied beside the count, or nullptr
    const char* count{};               // masked field, read plainly
    const char* label{};               // the item's fee, its key in the fee record
    bool numbered = true;              // column 1 of the table shows the number
    bool countReformatted = false;     // read back as a four-digit number, not as typed
    const char* logModule = nullptr;   // where the count's LostFocus logs; nullptr: the dialog's
    const char* logProcedure = nullptr;
};

// The subtotal's caption in dialogs and tables.
inline constexpr char kZwischensumme[] = "Zwischensumme";

// The item's count field read plainly (blanks read 0).
double CountOf(kado::forms::Form& form, const FeeItem& item);
// The counts of the items, in their order.
void ReadCounts(kado::forms::Form& form, std::span<const FeeItem> items, std::span<double> counts);

// Each item's fee, count × unit fee, into fees; their sum, unrounded and in
// the items' order, as the subtotals take it.
double ItemFees(std::span<const FeeItem> items, std::span<const double> counts, std::span<double> fees);
// The items' fees and their subtotal as their labels show them.
FeeRecord ItemFeeRecord(std::span<const FeeItem> items, std::span<const double> fees, const char* subtotalLabel,
                        double subtotal);

// Number and text; below them description, count, unit fee and fee; then an empty row.
BlockSpec TwoRowItem(const FeeItem& item, Condition when = {});
// Number, text, count, unit fee and fee in one row; then an empty row.
BlockSpec OneRowItem(const FeeItem& item, Condition when = {});

// The bold subtotal row and its amount label; then an empty row.
BlockSpec SubtotalBlock(const char* label);

// Each item's count recomputes when left.
std::vector<Trigger> CountTriggers(std::span<const FeeItem> items);

// A unit fee as the dialog shows it beside the count ("150,00", "40,00", "-330,00").
std::string UnitCaption(double unitFee);
// The same in the table's unit-fee column: "150,00 €".
std::string UnitText(double unitFee);
// A factor as the tables state it: "0,7", "20%" for a share.
std::string FactorText(double factor);
std::string PercentText(double share);

}  // namespace honora
