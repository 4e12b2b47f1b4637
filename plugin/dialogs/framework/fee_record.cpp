#include "plugin/dialogs/framework/fee_record.h"

#include <utility>

#include "platform/com/error.h"
#include "platform/word/error.h"
#include "plugin/common/number_text.h"
#include "plugin/dialogs/framework/field_access.h"

namespace honora {

namespace forms = kado::forms;

void FeeRecord::Add(std::string key, double value, int16_t width, int16_t decimals) {
    AddText(std::move(key), value, AmountText(value, width, decimals));
}

void FeeRecord::AddText(std::string key, double value, std::string text, bool shown) {
    amounts_.push_back({std::move(key), value, std::move(text), shown});
}

bool FeeRecord::Has(std::string_view key) const noexcept {
    for (const auto& a : amounts_)
        if (a.key == key) return true;
    return false;
}

const FeeAmount& FeeRecord::Get(std::string_view key) const {
    for (const auto& a : amounts_)
        if (a.key == key) return a;
    kado::com::Raise(kado::word::err::NoSuchMember, "The fee rule gives no amount '" + std::string(key) + "'");
}

double FeeRecord::Shown(std::string_view key) const { return CVal(Text(key)); }

double AsShown(double value, int16_t width, int16_t decimals) { return CVal(AmountText(value, width, decimals)); }

void ShowAmount(forms::Form& form, const FeeAmount& amount) {
    if (!amount.shown) return;
    if (auto* label = dynamic_cast<forms::Label*>(&form.ItemByKey(amount.key))) return label->SetCaption(amount.text);
    SetFieldText(form, amount.key, amount.text);
}

}  // namespace honora
