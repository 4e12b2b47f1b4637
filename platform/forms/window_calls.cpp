// The two window calls the dialogs make on their own window.
#include "platform/com/error.h"
#include "platform/forms/forms.h"

namespace kado::forms {

WindowHandle SetParent(Form& form, WindowHandle parent) {
    // As the window call does: an unknown parent fails and returns 0, leaving the window as it was.
    if (parent != 0 && !form.GetDesktop().KnowsWindow(parent)) return 0;
    const WindowHandle old = form.parent_;
    if (old == parent) return old;
    form.parent_ = parent;
    form.Notify(nullptr, Change::Parent);
    return old;
}

std::int32_t SetWindowLongA(Form& form, int index, std::int32_t value) {
    if (index != GWL_EXSTYLE)
        com::Raise(err::InvalidPropertyValue, "Window long index " + std::to_string(index) + " is not supported");
    const std::int32_t old = form.exStyle_;
    if (old == value) return old;
    form.exStyle_ = value;
    form.Notify(nullptr, Change::Parent);
    return old;
}

}  // namespace kado::forms
