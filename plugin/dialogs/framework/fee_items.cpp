#include "plugin/dialogs/framework/fee_items.h"

#include <string>
#include <utility>

#include "platform/com/numtext.h"
#include "plugin/common/number_text.h"

namespace honora {

namespace forms = kado::forms;

double ItemAmount(forms::Form& form, const FeeItem& item) {
    return kado::com::PlainRead(form.Get<forms::MaskEdBox>(item.count).Text()) * item.unitFee;
}

double ItemFee(forms::Form& form, const FeeItem& item) {
    const double x = ItemAmount(form, item);
    form.Get<forms::Label>(item.label).SetCaption(BetragText(x));
    return x;
}

double ItemsFee(forms::Form& form, std::span<const FeeItem> items) {
    double sum = 0;
    for (const auto& item : items) sum += ItemFee(form, item);
    return sum;
}

BlockSpec TwoRowItem(const FeeItem& item, Condition when) {
    BlockSpec b{.height = 3, .variants = {{.when = std::move(when)}}};
    auto& cells = b.variants.front().cells;
    cells.push_back({.column = 1, .text = Lit(item.item)});
    cells.push_back({.column = 2, .text = Lit(item.text)});
    if (item.description)
        cells.push_back({.row = 1, .column = 2, .text = FieldText(item.description), .restore = IntoText(item.description)});
    cells.push_back({.row = 1, .column = 3, .text = FieldText(item.count), .restore = IntoText(item.count)});
    cells.push_back({.row = 1, .column = 4, .text = Lit(item.unitText)});
    cells.push_back({.row = 1, .column = 5, .text = Amount(item.label), .role = Role::Excluded});
    return b;
}

BlockSpec OneRowItem(const FeeItem& item, Condition when) {
    BlockSpec b{.height = 2, .variants = {{.when = std::move(when)}}};
    auto& cells = b.variants.front().cells;
    if (*item.item) cells.push_back({.column = 1, .text = Lit(item.item)});
    cells.push_back({.column = 2, .text = Lit(item.text)});
    cells.push_back({.column = 3, .text = FieldText(item.count), .restore = IntoText(item.count)});
    cells.push_back({.column = 4, .text = Lit(item.unitText)});
    cells.push_back({.column = 5, .text = Amount(item.label), .role = Role::Excluded});
    return b;
}

std::string UnitCaption(const FeeItem& item) {
    std::string unit = item.unitText;
    if (unit.ends_with(" €")) unit.resize(unit.size() - std::string(" €").size());
    return unit;
}

}  // namespace honora
