// The link between one widget and its model control: widgets reach the model
// only through it, and it goes dead when the form's widgets are dropped.
#pragma once

#include <Qt>
#include <functional>
#include <memory>

#include "platform/forms/forms.h"

namespace kado::qtview {

class Binder {
public:
    virtual ~Binder() = default;
    // Focus entered or left the control's widget.
    virtual void FocusIn(forms::Control& control, Qt::FocusReason reason) = 0;
    virtual void FocusOut(forms::Control& control, Qt::FocusReason reason) = 0;
    // A user action on the control: runs it against the model, then shows the
    // model's state in the widget. Failures are reported, never thrown into Qt.
    virtual void Push(forms::Control& control, const std::function<void()>& action) = 0;
    // Runs widget code whose own changes must not reach the model.
    virtual void Quiet(const std::function<void()>& widgetCode) = 0;
    // True while the view itself changes widgets.
    virtual bool Syncing() const = 0;
};

struct Link {
    Binder* binder = nullptr;  // null once the widgets are dropped
    forms::Control* control = nullptr;
};

}  // namespace kado::qtview
