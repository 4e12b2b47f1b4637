// Text of the inputs a fee table names by key: masked fields, text boxes and
// combo boxes read and set alike, option buttons and check boxes set on.
#pragma once

#include <string>
#include <string_view>

#include "platform/forms/forms.h"

namespace honora {

// Fails with 13 for a control that holds no text.
std::string FieldTextOf(kado::forms::Form& form, std::string_view key);
void SetFieldText(kado::forms::Form& form, std::string_view key, std::string text);

// Selects the option button or ticks the check box.
void Select(kado::forms::Form& form, std::string_view key);

}  // namespace honora
