// Guard around everything that runs handlers of a form: controls dropped by an
// unload inside a handler are destroyed only once the outermost handler returned.
#pragma once

#include <memory>

#include "platform/forms/forms.h"

namespace kado::forms {

class Form::EventScope {
public:
    explicit EventScope(Form& form) : keep_(form.weak_from_this().lock()), form_(form) { ++form_.firing_; }
    ~EventScope() {
        if (--form_.firing_ == 0) form_.dropped_.clear();
    }
    EventScope(const EventScope&) = delete;
    EventScope& operator=(const EventScope&) = delete;

private:
    std::shared_ptr<Form> keep_;  // a handler may drop the last owner of the form
    Form& form_;
};

}  // namespace kado::forms
