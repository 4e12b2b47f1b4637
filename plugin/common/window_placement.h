// Window placement of a form across sessions: state and position kept in the
// host's per-user settings under the form's name.
#pragma once

#include "platform/forms/forms.h"

namespace honora {

// Restores "State" and, for a normal window, "Top" and "Left" (defaults 0).
void GetWindowReg(kado::forms::Form& form);

// Stores "State" and, for a normal window only, "Top" and "Left", so a maximised
// or minimised close keeps the last normal position.
void SetWindowReg(kado::forms::Form& form);

}  // namespace honora
