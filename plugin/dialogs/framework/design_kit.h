// The few kinds of control every category's design is made of: static
// captions, right-aligned amount labels and masked fields sized to their mask.
#pragma once

#include <string>

#include "platform/forms/forms.h"

namespace honora {

// A static caption; index -1 for a single control, else its place in an array ("Label2").
kado::forms::Label& AddCaption(kado::forms::Form& form, const std::string& name, int index, const std::string& caption,
                               kado::forms::GridPlace at, const std::string& container = {});

// A computed label, right-aligned, with its design-time text.
kado::forms::Label& AddAmount(kado::forms::Form& form, const std::string& name, const std::string& start,
                              kado::forms::GridPlace at, const std::string& container = {});

// A masked field; untouched it holds one blank per placeholder.
kado::forms::MaskEdBox& AddMasked(kado::forms::Form& form, const std::string& name, const std::string& mask,
                                  kado::forms::GridPlace at, const std::string& container = {});

// A free-text box for a description copied into the fee table.
kado::forms::TextBox& AddText(kado::forms::Form& form, const std::string& name, kado::forms::GridPlace at,
                              const std::string& container = {});

}  // namespace honora
