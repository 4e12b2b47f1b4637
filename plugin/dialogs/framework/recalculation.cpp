#include "plugin/dialogs/framework/recalculation.h"

#include "plugin/common/steps.h"

namespace honora {

std::optional<FeeRecord> GebührBerechnen(const Category& category, kado::forms::Form& form) {
    Steps s(category.name, "Zeitdifferenz");
    std::optional<FeeRecord> fees;
    if (category.inputRule) s(100, [&] { category.inputRule(form); });
    if (category.feeRule) s(110, [&] { fees = category.feeRule(form); });
    if (fees)
        for (const auto& amount : fees->Amounts()) s(120, [&] { ShowAmount(form, amount); });
    return fees;
}

}  // namespace honora
