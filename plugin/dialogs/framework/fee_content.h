// The content of a confirmation derived from a category's declared rows and
// the dialog's controls as they stand.
#pragma once

#include "platform/forms/forms.h"
#include "plugin/dialogs/framework/category.h"

namespace honora {

// Each read is a statement of the dialog's CommandEnde_Click: one that fails
// loses its cell only (a failed condition leaves its block or cell out).
FeeTable Gebührentabelle(const Category& category, kado::forms::Form& form);

}  // namespace honora
