// The scripted user: every action goes through the same checks and focus
// events a person at the window would meet.
#include "platform/forms/driver.h"

#include "platform/com/error.h"
#include "platform/forms/utf8.h"

namespace kado::forms {

namespace {

// The control a user can reach: it exists, is enabled and visible.
Control& Reach(Form& form, std::string_view key) {
    Control& c = form.ItemByKey(key);
    if (!c.Visible())
        com::Raise(com::err::InvalidProcedureCall, "Control '" + c.Key() + "' on form '" + form.Name() + "' is hidden");
    if (!c.Enabled())
        com::Raise(com::err::InvalidProcedureCall, "Control '" + c.Key() + "' on form '" + form.Name() + "' is disabled");
    return c;
}

void FocusOn(Form& form, Control& c) {
    if (form.ActiveControl() != &c) form.SetFocus(c);
}

void ClickOn(Form& form, std::string_view key) {
    Control& c = Reach(form, key);
    if (c.Focusable()) {
        FocusOn(form, c);
        // A focus handler may have disabled, hidden or dropped the control.
        Reach(form, key);
    }
    c.Click();
}

std::u32string DecodeScript(std::string_view text) {
    auto decoded = utf8::Decode(text);
    if (!decoded) com::Raise(com::err::InvalidProcedureCall, "Scripted text is not valid UTF-8");
    return std::move(*decoded);
}

}  // namespace

Driver::Driver(std::shared_ptr<HeadlessDesktop> desktop) : desktop_(std::move(desktop)) {
    if (!desktop_) com::Raise(com::err::ObjectNotSet, "Driver needs a desktop");
}

void Driver::Focus(Form& form, std::string_view key) {
    Control& c = Reach(form, key);
    if (!c.Focusable())
        com::Raise(com::err::InvalidProcedureCall, "Control '" + c.Key() + "' on form '" + form.Name() + "' cannot take the focus");
    if (auto previous = focusForm_.lock(); previous && previous.get() != &form) previous->KillFocus();
    focusForm_ = form.weak_from_this();
    FocusOn(form, c);
}

void Driver::Type(Form& form, std::string_view key, std::string_view text) {
    const std::u32string chars = DecodeScript(text);
    Focus(form, key);
    for (char32_t ch : chars) {
        // Re-reached per key: a handler may have disabled the field or unloaded the form.
        Control& c = Reach(form, key);
        c.TypeChar(ch);
    }
}

void Driver::Leave(Form& form) { form.KillFocus(); }

void Driver::Set(Form& form, std::string_view key, std::string_view text) {
    Control& c = Reach(form, key);
    if (auto* combo = dynamic_cast<ComboBox*>(&c)) {
        Focus(form, key);
        combo->SetText(std::string(text));
        Leave(form);
        return;
    }
    if (!dynamic_cast<TextBox*>(&c))
        com::Raise(com::err::TypeMismatch, "Control '" + c.Key() + "' on form '" + form.Name() + "' takes no text");
    Type(form, key, text);
    Leave(form);
}

void Driver::Click(Form& form, std::string_view key) {
    if (Reach(form, key).Focusable()) Focus(form, key);
    // Reached again: a focus handler may have disabled, hidden or dropped the control.
    Reach(form, key).Click();
}

void Driver::Select(Form& form, std::string_view key, int index) {
    auto* combo = dynamic_cast<ComboBox*>(&Reach(form, key));
    if (!combo) com::Raise(com::err::TypeMismatch, "Control '" + std::string(key) + "' is not a combo box");
    Focus(form, key);
    combo->SetListIndex(index);
    combo->FireClick();
    Leave(form);
}

void Driver::Key(Form& form, std::string_view key, char32_t ch) {
    Focus(form, key);
    Reach(form, key).TypeChar(ch);
}

void Driver::AnswerNextModal(HeadlessDesktop::Answer answer) { desktop_->QueueAnswer(std::move(answer)); }

void Driver::ChooseNext(std::string optionKey, std::string confirmKey) {
    // The answer holds no reference to the desktop that stores it.
    desktop_->QueueAnswer([optionKey = std::move(optionKey), confirmKey = std::move(confirmKey)](Form& form) {
        ClickOn(form, optionKey);
        ClickOn(form, confirmKey);
    });
}

void Driver::CloseNext() {
    desktop_->QueueAnswer([](Form& form) { form.Close(); });
}

}  // namespace kado::forms
