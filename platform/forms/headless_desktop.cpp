// The desktop without windows: modal shows are answered from a queue.
#include <algorithm>

#include "platform/forms/forms.h"

namespace kado::forms {

void HeadlessDesktop::Shown(Form& form) {
    if (!form.Modal()) lastModeless_ = form.weak_from_this();
}

void HeadlessDesktop::RunModal(Form& form) {
    modalRuns_.push_back(form.Name());
    if (!answers_.empty()) {
        Answer answer = std::move(answers_.front());
        answers_.erase(answers_.begin());
        try {
            if (answer) answer(form);
        } catch (...) {
            // No modal wait stays open behind a failed answer.
            if (form.Visible()) form.Hide();
            throw;
        }
    }
    if (form.Visible()) form.Hide();
}

bool HeadlessDesktop::KnowsWindow(WindowHandle handle) const {
    return std::find(windows_.begin(), windows_.end(), handle) != windows_.end();
}

}  // namespace kado::forms
