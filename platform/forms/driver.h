// A scripted user of the forms model for tests and batch runs: it focuses, types,
// leaves, clicks and answers modal dialogs with the focus events a window system fires.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/forms/forms.h"

namespace kado::forms {

// Controls are named by key: "mskBezug" or "optTabelle(3)". Acting on a missing,
// disabled or hidden control throws com::Error with a message naming it.
class Driver {
public:
    explicit Driver(std::shared_ptr<HeadlessDesktop> desktop);
    HeadlessDesktop& GetDesktop() const noexcept { return *desktop_; }

    // Focus moves like a user's: LostFocus on the control left, GotFocus on the one entered.
    void Focus(Form& form, std::string_view key);
    // Types the UTF-8 text key by key into the control as it is (its selection included);
    // a control without the focus gets it first, as a user has to click into it.
    void Type(Form& form, std::string_view key, std::string_view text);
    // Focus leaves the control (LostFocus fires).
    void Leave(Form& form);
    // Focus, type over whatever the focus selected, leave.
    void Set(Form& form, std::string_view key, std::string_view text);
    // Focus when focusable, then click.
    void Click(Form& form, std::string_view key);
    // Focus the combo box, choose the entry, leave.
    void Select(Form& form, std::string_view key, int index);
    // One key into the focused control named by key (focusing it first).
    void Key(Form& form, std::string_view key, char32_t ch);

    // Answers for the next modal show, in order.
    void AnswerNextModal(HeadlessDesktop::Answer answer);
    // Click the option, then the confirming button.
    void ChooseNext(std::string optionKey, std::string confirmKey);
    // Close the next modal form with its close box.
    void CloseNext();

private:
    std::shared_ptr<HeadlessDesktop> desktop_;
    // The form the focus was last put on; focusing another form's control leaves it.
    std::weak_ptr<Form> focusForm_;
};

}  // namespace kado::forms
