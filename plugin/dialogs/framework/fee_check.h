// Whether a confirmation may write its fee table: counts that contradict each
// other or a fee below zero stop it, and the dialog tells the user why.
#pragma once

#include <string>
#include <string_view>

#include "platform/forms/forms.h"
#include "plugin/dialogs/framework/category.h"

namespace honora {

// What stands against writing the table, as the user is told it; empty when
// nothing does. The category's own check names the contradicting counts; the
// fee and the share amount the client would pay must not be below zero.
std::string Contradiction(const Category& category, kado::forms::Form& form, const FeeRecord& fees,
                          const FeeTable& content);

// Shows the text in the modal "G_frmHinweis" until the user closes it.
void ShowHint(std::string_view text);

}  // namespace honora
