// The common part of every control, and the controls that only show something.
#include <algorithm>

#include "platform/com/error.h"
#include "platform/forms/form_scope.h"
#include "platform/forms/forms.h"

namespace kado::forms {

Control::Control(Form& form, ControlKind kind, std::string name, int index, std::string container, GridPlace place)
    : form_(form), kind_(kind), name_(std::move(name)), index_(index), container_(std::move(container)), place_(place) {}

Control::~Control() = default;

std::string Control::Key() const {
    return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

void Control::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Notify(Change::Enabled);
}

void Control::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    Notify(Change::Visible);
}

void Control::SetFixedPitch(bool fixed) {
    if (fixedPitch_ == fixed) return;
    fixedPitch_ = fixed;
    Notify(Change::Font);
}

bool Control::Focusable() const noexcept {
    switch (kind_) {
        case ControlKind::Label:
        case ControlKind::Frame:
        case ControlKind::Line:
        case ControlKind::ImageList:
            return false;
        default:
            return true;
    }
}

void Control::Click() { FireClick(); }

void Control::TypeChar(char32_t ch) {
    // The scope keeps this control alive when a handler unloads the form.
    Form::EventScope scope(form_);
    const int original = ch > 0x7FFFFFFF ? 0 : static_cast<int>(ch);
    const int code = FireKeyPress(original);
    if (dropped_) return;
    if (code > 0) ApplyChar(static_cast<char32_t>(code));
    if (dropped_) return;
    FireKeyUp(original);
}

void Control::ApplyChar(char32_t) {}

void Control::RunHandlers(const std::vector<Handler>& handlers) {
    Form::EventScope scope(form_);
    // A copy, since a handler may add handlers or unload the form.
    const std::vector<Handler> copy = handlers;
    for (const Handler& h : copy) {
        if (dropped_) break;
        if (h) h();
    }
}

int Control::RunKeyHandlers(const std::vector<KeyHandler>& handlers, int keyCode) {
    Form::EventScope scope(form_);
    const std::vector<KeyHandler> copy = handlers;
    for (const KeyHandler& h : copy) {
        if (dropped_ || keyCode == 0) break;
        if (h) h(keyCode);
    }
    return keyCode;
}

void Control::FireGotFocus() { RunHandlers(gotFocus_); }
void Control::FireLostFocus() { RunHandlers(lostFocus_); }
void Control::FireClick() { RunHandlers(click_); }
int Control::FireKeyPress(int keyCode) { return RunKeyHandlers(keyPress_, keyCode); }
int Control::FireKeyUp(int keyCode) { return RunKeyHandlers(keyUp_, keyCode); }

void Control::Notify(Change change) {
    if (!dropped_) form_.Notify(this, change);
}

Label::Label(Form& f, std::string name, int index, std::string container, GridPlace place)
    : Control(f, ControlKind::Label, std::move(name), index, std::move(container), place) {}

void Label::SetCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    Notify(Change::Caption);
}

void Label::SetAlignment(forms::Alignment a) {
    if (a != forms::Alignment::Left && a != forms::Alignment::Right && a != forms::Alignment::Center)
        com::Raise(err::InvalidPropertyValue, "Invalid alignment for control '" + Key() + "'");
    if (alignment_ == a) return;
    alignment_ = a;
    Notify(Change::Alignment);
}

CommandButton::CommandButton(Form& f, std::string name, int index, std::string container, GridPlace place)
    : Control(f, ControlKind::CommandButton, std::move(name), index, std::move(container), place) {}

void CommandButton::SetCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    Notify(Change::Caption);
}

void CommandButton::SetPicture(forms::Picture picture) {
    if (picture.width < 0 || picture.height < 0 ||
        (!picture.argb.empty() &&
         picture.argb.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)))
        com::Raise(err::InvalidPropertyValue, "Invalid picture for control '" + Key() + "'");
    if (picture_ == picture) return;
    picture_ = std::move(picture);
    Notify(Change::Picture);
}

Frame::Frame(Form& f, std::string name, int index, std::string container, GridPlace place)
    : Control(f, ControlKind::Frame, std::move(name), index, std::move(container), place) {}

void Frame::SetCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    Notify(Change::Caption);
}

Line::Line(Form& f, std::string name, int index, std::string container, GridPlace place)
    : Control(f, ControlKind::Line, std::move(name), index, std::move(container), place) {}

ImageList::ImageList(Form& f, std::string name, int index, std::string container, GridPlace place)
    : Control(f, ControlKind::ImageList, std::move(name), index, std::move(container), place) {}

void ImageList::Add(std::string key, forms::Picture picture) {
    const bool taken = std::any_of(images_.begin(), images_.end(), [&](const auto& e) { return e.first == key; });
    if (taken) com::Raise(err::ImageKeyNotUnique, "Image key '" + key + "' is not unique in '" + Key() + "'");
    images_.emplace_back(std::move(key), std::move(picture));
}

const forms::Picture& ImageList::Picture(std::string_view key) const {
    for (const auto& [k, p] : images_)
        if (k == key) return p;
    com::Raise(err::ImageNotFound, "Image '" + std::string(key) + "' not found in '" + Key() + "'");
}

}  // namespace kado::forms
