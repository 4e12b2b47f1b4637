#include "plugin/dialogs/framework/fee_items.h"

#include <string>
#include <utility>

#include "platform/com/numtext.h"
#include "plugin/common/number_text.h"

namespace honora {

namespace forms = kado::forms;

namespace {

Restore CountRestore(const FeeItem& item) {
    return item.countReformatted ? IntoNumber(item.count, 4, 0) : IntoText(item.count);
}

}  // namespace

double CountOf(forms::Form& form, const FeeItem& item) {
    return kado::com::PlainRead(form.Get<forms::MaskEdBox>(item.count).Text());
}

void ReadCounts(forms::Form& form, std::span<const FeeItem> items, std::span<double> counts) {
    for (size_t i = 0; i < items.size() && i < counts.size(); ++i) counts[i] = CountOf(form, items[i]);
}

double ItemFees(std::span<const FeeItem> items, std::span<const double> counts, std::span<double> fees) {
    double sum = 0;
    for (size_t i = 0; i < items.size() && i < counts.size() && i < fees.size(); ++i) {
        fees[i] = counts[i] * items[i].item.unitFee;
        sum += fees[i];
    }
    return sum;
}

FeeRecord ItemFeeRecord(std::span<const FeeItem> items, std::span<const double> fees, const char* subtotalLabel,
                        double subtotal) {
    FeeRecord record;
    for (size_t i = 0; i < items.size() && i < fees.size(); ++i) record.Add(items[i].label, fees[i]);
    record.Add(subtotalLabel, subtotal);
    return record;
}

BlockSpec TwoRowItem(const FeeItem& item, Condition when) {
    BlockSpec b{.height = 3, .variants = {{.when = std::move(when)}}};
    auto& cells = b.variants.front().cells;
    cells.push_back({.column = 1, .text = Lit(item.item.number)});
    cells.push_back({.column = 2, .text = Lit(item.text)});
    if (item.description)
        cells.push_back({.row = 1, .column = 2, .text = FieldText(item.description), .restore = IntoText(item.description)});
    cells.push_back({.row = 1, .column = 3, .text = FieldText(item.count), .restore = CountRestore(item)});
    cells.push_back({.row = 1, .column = 4, .text = Lit(UnitText(item.item.unitFee))});
    cells.push_back({.row = 1, .column = 5, .text = Amount(item.label), .role = Role::Excluded});
    return b;
}

BlockSpec OneRowItem(const FeeItem& item, Condition when) {
    BlockSpec b{.height = 2, .variants = {{.when = std::move(when)}}};
    auto& cells = b.variants.front().cells;
    if (item.numbered) cells.push_back({.column = 1, .text = Lit(item.item.number)});
    cells.push_back({.column = 2, .text = Lit(item.text)});
    cells.push_back({.column = 3, .text = FieldText(item.count), .restore = CountRestore(item)});
    cells.push_back({.column = 4, .text = Lit(UnitText(item.item.unitFee))});
    cells.push_back({.column = 5, .text = Amount(item.label), .role = Role::Excluded});
    return b;
}

BlockSpec SubtotalBlock(const char* label) {
    return {.height = 2,
            .variants = {{.cells = {{.column = 2, .text = Lit(kZwischensumme), .bold = true},
                                    {.column = 5, .text = Amount(label), .role = Role::Excluded}}}}};
}

std::vector<Trigger> CountTriggers(std::span<const FeeItem> items) {
    std::vector<Trigger> triggers;
    for (const auto& item : items)
        triggers.push_back({item.count, item.logModule ? item.logModule : "", item.logProcedure ? item.logProcedure : ""});
    return triggers;
}

std::string UnitCaption(double unitFee) {
    std::string text = AmountText(unitFee);
    text.erase(0, text.find_first_not_of(' '));
    return text;
}

std::string UnitText(double unitFee) { return UnitCaption(unitFee) + " €"; }

std::string FactorText(double factor) { return kado::com::NumberToText(factor); }

std::string PercentText(double share) { return kado::com::NumberToText(share * 100) + "%"; }

}  // namespace honora
