// The few kinds of control every category's design is made of: static
// captions, amount labels and masked fields.
#pragma once

#include <string>
#include <utility>

#include "platform/forms/forms.h"
#include "plugin/dialogs/framework/fee_items.h"

namespace honora {

// A static caption; index -1 for a single control, else its place in an array ("Label2").
kado::forms::Label& AddCaption(kado::forms::Form& form, const std::string& name, int index, const std::string& caption,
                               kado::forms::GridPlace at, const std::string& container = {});

// Shows the label as an amount: right-aligned digits in a fixed-pitch font, as
// wide as the widest amount, so that a column of amounts lines up.
kado::forms::Label& AsAmount(kado::forms::Label& label);

// A computed label shown as an amount, with its design-time text.
kado::forms::Label& AddAmount(kado::forms::Form& form, const std::string& name, const std::string& start,
                              kado::forms::GridPlace at, const std::string& container = {});

// A masked field; untouched it holds one blank per placeholder.
kado::forms::MaskEdBox& AddMasked(kado::forms::Form& form, const std::string& name, const std::string& mask,
                                  kado::forms::GridPlace at, const std::string& container = {});

// A free-text box for a description copied into the fee table.
kado::forms::TextBox& AddText(kado::forms::Form& form, const std::string& name, kado::forms::GridPlace at,
                              const std::string& container = {});

// The captions of one control array ("Label2"), indexed in the order they are added.
class CaptionArray {
public:
    CaptionArray(kado::forms::Form& form, std::string name) : form_(form), name_(std::move(name)) {}
    kado::forms::Label& operator()(const std::string& caption, kado::forms::GridPlace at,
                                   const std::string& container = {});

private:
    kado::forms::Form& form_;
    std::string name_;
    int next_ = 0;
};

// "Anzahl", "Einzelgebühr" and "Gebühr" above the item rows' columns 3 to 5,
// the amounts' headings aligned as the amounts are.
void AddItemHeadings(CaptionArray& captions, int row);

// An item's row in grid columns 0 to 5: its number (the item's own when nullptr)
// and caption as the dialog names it, the description box, the count, the unit fee and the fee label
// (both shown as amounts).
void AddItemRow(kado::forms::Form& form, CaptionArray& captions, const FeeItem& item, const char* number,
                const char* caption, int row);

}  // namespace honora
