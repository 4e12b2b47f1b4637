#include "plugin/dialogs/framework/field_access.h"

#include "platform/com/error.h"

namespace honora {

namespace forms = kado::forms;

namespace {

[[noreturn]] void WrongKind(const forms::Control& c) {
    kado::com::Raise(kado::com::err::TypeMismatch, "Control '" + c.Key() + "' has no text");
}

}  // namespace

std::string FieldTextOf(forms::Form& form, std::string_view key) {
    forms::Control& c = form.ItemByKey(key);
    if (auto* box = dynamic_cast<forms::TextBox*>(&c)) return box->Text();
    if (auto* combo = dynamic_cast<forms::ComboBox*>(&c)) return combo->Text();
    WrongKind(c);
}

void SetFieldText(forms::Form& form, std::string_view key, std::string text) {
    forms::Control& c = form.ItemByKey(key);
    if (auto* box = dynamic_cast<forms::TextBox*>(&c)) return box->SetText(std::move(text));
    if (auto* combo = dynamic_cast<forms::ComboBox*>(&c)) return combo->SetText(std::move(text));
    WrongKind(c);
}

void Select(forms::Form& form, std::string_view key) {
    forms::Control& c = form.ItemByKey(key);
    if (auto* option = dynamic_cast<forms::OptionButton*>(&c)) return option->SetValue(true);
    if (auto* box = dynamic_cast<forms::CheckBox*>(&c)) return box->SetValue(1);
    kado::com::Raise(kado::com::err::TypeMismatch, "Control '" + c.Key() + "' cannot be selected");
}

}  // namespace honora
