// The one recalculation of every category dialog: the category's input rule,
// its fee rule, and the amounts of the result put into their controls.
#pragma once

#include <optional>

#include "platform/forms/forms.h"
#include "plugin/dialogs/framework/category.h"
#include "plugin/dialogs/framework/fee_record.h"

namespace honora {

// Logged with the dialog's name and "Zeitdifferenz". When the fee rule fails
// the controls keep what they showed and there is no new record.
std::optional<FeeRecord> GebührBerechnen(const Category& category, kado::forms::Form& form);

}  // namespace honora
