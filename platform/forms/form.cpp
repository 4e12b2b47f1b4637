// The form: load and unload with the design, control lookup, focus, window
// properties and the observers views follow it through.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "platform/com/error.h"
#include "platform/forms/form_scope.h"
#include "platform/forms/forms.h"

namespace kado::forms {

struct Form::Observers {
    struct Entry {
        int id;
        std::shared_ptr<Observer> observer;
    };
    std::vector<Entry> entries;
    int nextId = 1;

    bool Contains(int id) const {
        return std::any_of(entries.begin(), entries.end(), [id](const Entry& e) { return e.id == id; });
    }
    void Remove(int id) {
        std::erase_if(entries, [id](const Entry& e) { return e.id == id; });
    }
};

namespace {

bool SameName(std::string_view a, std::string_view b) {
    // Control names compare without regard to ASCII case, as the toolkit's did.
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string KeyOf(std::string_view name, int index) {
    return index < 0 ? std::string(name) : std::string(name) + "(" + std::to_string(index) + ")";
}

}  // namespace

std::shared_ptr<Form> Form::Create(std::shared_ptr<Desktop> desktop, std::string name, Design design) {
    if (!desktop) com::Raise(com::err::ObjectNotSet, "Form '" + name + "' needs a desktop");
    return std::shared_ptr<Form>(new Form(std::move(desktop), std::move(name), std::move(design)));
}

Form::Form(std::shared_ptr<Desktop> desktop, std::string name, Design design)
    : desktop_(std::move(desktop)),
      name_(std::move(name)),
      design_(std::move(design)),
      observers_(std::make_shared<Observers>()) {}

Form::~Form() = default;

void Form::Load() {
    if (loaded_ || loading_) return;
    EventScope scope(*this);
    loading_ = true;
    try {
        if (design_) design_(*this);
    } catch (...) {
        // A design that fails half-way leaves no half-built form behind.
        loading_ = false;
        DropDesign();
        throw;
    }
    loading_ = false;
    loaded_ = true;
    Notify(nullptr, Change::Structure);
    const std::vector<Handler> handlers = onLoad_;
    for (const Handler& h : handlers) {
        if (!loaded_) break;
        if (h) h();
    }
}

void Form::Unload() {
    if (!loaded_ || unloading_) return;
    EventScope scope(*this);
    unloading_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{unloading_};
    const std::vector<Handler> handlers = onUnload_;
    for (const Handler& h : handlers)
        if (h) h();
    Hide();
    // No LostFocus: the window goes away with its controls.
    active_ = nullptr;
    DropDesign();
    loaded_ = false;
    Notify(nullptr, Change::Structure);
}

void Form::DropDesign() {
    // Controls stay parked until the outermost handler returns; they may be running.
    for (auto& c : controls_) c->dropped_ = true;
    std::move(controls_.begin(), controls_.end(), std::back_inserter(dropped_));
    controls_.clear();
    onLoad_.clear();
    onUnload_.clear();
    onKeyUp_.clear();
    ResetWindow();
}

void Form::ResetWindow() {
    visible_ = false;
    modal_ = false;
    caption_.clear();
    icon_ = {};
    state_ = forms::WindowState::Normal;
    top_ = 0;
    left_ = 0;
    if (pointer_ != forms::MousePointer::Default) {
        pointer_ = forms::MousePointer::Default;
        desktop_->PointerChanged(*this);
    }
    parent_ = 0;
    exStyle_ = 0;
    stretchColumn_ = -1;
}

void Form::EnsureLoaded() {
    if (!loaded_ && !loading_) Load();
}

void Form::Show(bool modal) {
    if (modal && modal_)
        com::Raise(err::CannotShowModal, "Form '" + name_ + "' is already shown modally");
    EventScope scope(*this);
    EnsureLoaded();
    if (!loaded_) return;  // a Load handler unloaded it again
    visible_ = true;
    // Modal before the desktop hears of it, so a view knows how to show the window.
    struct Reset {
        bool& flag;
        bool active;
        ~Reset() {
            if (active) flag = false;
        }
    } reset{modal_, modal};
    if (modal) modal_ = true;
    desktop_->Shown(*this);
    Notify(nullptr, Change::Shown);
    if (!modal) return;
    desktop_->RunModal(*this);
}

void Form::Hide() {
    if (!visible_) return;
    visible_ = false;
    Notify(nullptr, Change::Hidden);
}

void Form::AddControl(std::unique_ptr<Control> control) {
    for (const auto& c : controls_) {
        if (!SameName(c->Name(), control->Name())) continue;
        if (c->Index() == control->Index() || c->Index() < 0 || control->Index() < 0)
            com::Raise(err::InvalidPropertyValue, "Control '" + control->Key() + "' already exists on form '" + name_ + "'");
    }
    controls_.push_back(std::move(control));
    if (loaded_ && !loading_) Notify(nullptr, Change::Structure);
}

Control& Form::Item(std::string_view name, int index) {
    EnsureLoaded();
    bool named = false;
    for (const auto& c : controls_) {
        if (!SameName(c->Name(), name)) continue;
        named = true;
        if (c->Index() == index) return *c;
    }
    if (!named)
        com::Raise(err::ControlNotFound, "Control '" + KeyOf(name, index) + "' not found on form '" + name_ + "'");
    if (index < 0)
        com::Raise(err::ControlArrayElementMissing,
                   "Control '" + std::string(name) + "' is a control array and needs an index");
    com::Raise(err::ControlArrayElementMissing,
               "Control array element '" + KeyOf(name, index) + "' does not exist on form '" + name_ + "'");
}

Control& Form::ItemByKey(std::string_view key) {
    const auto open = key.find('(');
    if (open != std::string_view::npos && key.size() > open + 2 && key.back() == ')') {
        const std::string_view digits = key.substr(open + 1, key.size() - open - 2);
        int index = -1;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
        if (ec == std::errc() && end == digits.data() + digits.size() && index >= 0)
            return Item(key.substr(0, open), index);
    }
    return Item(key, -1);
}

void Form::ThrowWrongKind(const Control& c) const {
    com::Raise(com::err::TypeMismatch, "Control '" + c.Key() + "' on form '" + name_ + "' is of another kind");
}

std::vector<Control*> Form::Controls() const {
    std::vector<Control*> out;
    out.reserve(controls_.size());
    for (const auto& c : controls_) out.push_back(c.get());
    return out;
}

void Form::SetFocus(Control& control) {
    if (&control.Parent() != this || control.dropped_)
        com::Raise(com::err::InvalidProcedureCall, "Control '" + control.Key() + "' is not on form '" + name_ + "'");
    if (!control.Focusable() || !control.Enabled() || !control.Visible())
        com::Raise(com::err::InvalidProcedureCall, "Control '" + control.Key() + "' cannot take the focus");
    if (active_ == &control) return;
    EventScope scope(*this);
    if (Control* old = active_) {
        active_ = nullptr;
        old->FireLostFocus();
        // The handler may have unloaded the form or moved the focus itself.
        if (control.dropped_ || active_ != nullptr) return;
    }
    active_ = &control;
    Notify(&control, Change::Focus);
    control.FireGotFocus();
}

void Form::KillFocus() {
    Control* old = active_;
    if (!old) return;
    EventScope scope(*this);
    active_ = nullptr;
    Notify(old, Change::Focus);
    old->FireLostFocus();
}

void Form::SetCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    Notify(nullptr, Change::Caption);
}

void Form::SetIcon(Picture icon) {
    if (icon_ == icon) return;
    icon_ = std::move(icon);
    Notify(nullptr, Change::Icon);
}

void Form::SetWindowState(int state) {
    if (state < 0 || state > 2)
        com::Raise(err::InvalidPropertyValue, "Invalid window state " + std::to_string(state) + " for form '" + name_ + "'");
    const auto s = static_cast<forms::WindowState>(state);
    if (s == state_) return;
    state_ = s;
    Notify(nullptr, Change::WindowState);
}

void Form::SetTop(double twips) {
    if (!std::isfinite(twips)) com::Raise(err::InvalidPropertyValue, "Invalid Top for form '" + name_ + "'");
    if (twips == top_) return;
    top_ = twips;
    Notify(nullptr, Change::Position);
}

void Form::SetLeft(double twips) {
    if (!std::isfinite(twips)) com::Raise(err::InvalidPropertyValue, "Invalid Left for form '" + name_ + "'");
    if (twips == left_) return;
    left_ = twips;
    Notify(nullptr, Change::Position);
}

void Form::SetMousePointer(forms::MousePointer pointer) {
    if (pointer != forms::MousePointer::Default && pointer != forms::MousePointer::Hourglass)
        com::Raise(err::InvalidPropertyValue, "Invalid mouse pointer for form '" + name_ + "'");
    if (pointer == pointer_) return;
    pointer_ = pointer;
    desktop_->PointerChanged(*this);
    Notify(nullptr, Change::MousePointer);
}

int Form::FireKeyUp(int keyCode) {
    EventScope scope(*this);
    const std::vector<KeyHandler> handlers = onKeyUp_;
    for (const KeyHandler& h : handlers) {
        if (keyCode == 0) break;
        if (h) h(keyCode);
    }
    return keyCode;
}

Subscription Form::Subscribe(Observer observer) {
    const int id = observers_->nextId++;
    observers_->entries.push_back({id, std::make_shared<Observer>(std::move(observer))});
    return Subscription(observers_, id);
}

void Form::Notify(Control* control, Change change) {
    // While the design runs the form is not there yet; Structure at the end tells all.
    if (loading_ || observers_->entries.empty()) return;
    // Observers may subscribe, unsubscribe or drop the form while being told.
    const auto keep = weak_from_this().lock();
    const auto observers = observers_;
    const std::vector<Observers::Entry> snapshot = observers->entries;
    for (const auto& e : snapshot) {
        if (!observers->Contains(e.id)) continue;
        if (*e.observer) (*e.observer)(*this, control, change);
    }
}

Subscription& Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        Reset();
        observers_ = std::move(other.observers_);
        id_ = other.id_;
        other.id_ = 0;
    }
    return *this;
}

Subscription::~Subscription() { Reset(); }

void Subscription::Reset() {
    if (auto observers = observers_.lock()) observers->Remove(id_);
    observers_.reset();
    id_ = 0;
}

}  // namespace kado::forms
