// The content of a confirmation derived from a category's declared rows, the
// dialog's inputs as they stand and the fees of its last recalculation.
#pragma once

#include "platform/forms/forms.h"
#include "plugin/dialogs/framework/category.h"

namespace honora {

// Each read is a statement of the dialog's CommandEnde_Click: one that fails
// loses its cell only (a failed condition leaves its block or cell out).
FeeTable FeeTableOf(const Category& category, kado::forms::Form& form, const FeeRecord& fees);

}  // namespace honora
