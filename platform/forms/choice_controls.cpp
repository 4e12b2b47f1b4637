// Check boxes, option groups and the combo box.
#include "platform/com/error.h"
#include "platform/forms/forms.h"

namespace kado::forms {

CheckBox::CheckBox(Form& f, std::string name, int index, std::string container, GridPlace place)
    : Control(f, ControlKind::CheckBox, std::move(name), index, std::move(container), place) {}

void CheckBox::SetCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    Notify(Change::Caption);
}

void CheckBox::SetValue(int value) {
    if (value != 0 && value != 1)
        com::Raise(err::InvalidPropertyValue,
                   "Invalid value " + std::to_string(value) + " for check box '" + Key() + "'");
    if (value_ == value) return;
    value_ = value;
    Notify(Change::Value);
    FireClick();
}

void CheckBox::Click() { SetValue(value_ == 0 ? 1 : 0); }

OptionButton::OptionButton(Form& f, std::string name, int index, std::string container, GridPlace place)
    : Control(f, ControlKind::OptionButton, std::move(name), index, std::move(container), place) {}

void OptionButton::SetCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    Notify(Change::Caption);
}

void OptionButton::SetValue(bool value) {
    if (value_ == value) return;
    if (value) {
        for (Control* c : Parent().Controls()) {
            auto* other = dynamic_cast<OptionButton*>(c);
            if (other && other != this && other->value_ && other->Container() == Container()) {
                other->value_ = false;
                other->Notify(Change::Value);
            }
        }
    }
    value_ = value;
    Notify(Change::Value);
    if (value_) FireClick();
}

void OptionButton::Click() {
    // The user's click on the selected option changes nothing but still reports the click.
    if (value_)
        FireClick();
    else
        SetValue(true);
}

ComboBox::ComboBox(Form& f, std::string name, int index, std::string container, GridPlace place)
    : Control(f, ControlKind::ComboBox, std::move(name), index, std::move(container), place) {}

void ComboBox::AddItem(std::string item) {
    list_.push_back(std::move(item));
    Notify(Change::List);
}

void ComboBox::Clear() {
    list_.clear();
    listIndex_ = -1;
    text_.clear();
    Notify(Change::List);
    Notify(Change::Value);
    Notify(Change::Text);
}

void ComboBox::SetListIndex(int index) {
    if (index < -1 || index >= static_cast<int>(list_.size()))
        com::Raise(err::InvalidPropertyValue,
                   "Invalid ListIndex " + std::to_string(index) + " for combo box '" + Key() + "'");
    if (index == listIndex_) return;
    listIndex_ = index;
    text_ = index < 0 ? std::string() : list_[static_cast<std::size_t>(index)];
    Notify(Change::Value);
    Notify(Change::Text);
}

void ComboBox::SetText(std::string text) {
    int found = -1;
    for (std::size_t i = 0; i < list_.size(); ++i) {
        if (list_[i] == text) {
            found = static_cast<int>(i);
            break;
        }
    }
    const bool indexChanged = found != listIndex_;
    const bool textChanged = text != text_;
    listIndex_ = found;
    text_ = std::move(text);
    if (indexChanged) Notify(Change::Value);
    if (textChanged) Notify(Change::Text);
}

}  // namespace kado::forms
