// The plain text box: text, caret and selection in code points.
#include <algorithm>

#include "platform/com/error.h"
#include "platform/forms/forms.h"
#include "platform/forms/utf8.h"

namespace kado::forms {

namespace {

std::u32string DecodeOrRaise(std::string_view text, const std::string& key) {
    auto decoded = utf8::Decode(text);
    if (!decoded) com::Raise(err::InvalidPropertyValue, "Text for control '" + key + "' is not valid UTF-8");
    return std::move(*decoded);
}

}  // namespace

TextBox::TextBox(Form& f, std::string name, int index, std::string container, GridPlace place)
    : TextBox(f, ControlKind::TextBox, std::move(name), index, std::move(container), place) {}

TextBox::TextBox(Form& f, ControlKind kind, std::string name, int index, std::string container, GridPlace place)
    : Control(f, kind, std::move(name), index, std::move(container), place) {}

void TextBox::SetText(std::string text) {
    DecodeOrRaise(text, Key());
    SetRaw(std::move(text), 0, 0);
}

int TextBox::Length() const noexcept { return utf8::Length(text_); }

void TextBox::SetSelStart(int start) {
    if (start < 0) com::Raise(err::InvalidPropertyValue, "Negative SelStart for control '" + Key() + "'");
    SetRaw(text_, std::min(start, Length()), 0);
}

void TextBox::SetSelLength(int length) {
    if (length < 0) com::Raise(err::InvalidPropertyValue, "Negative SelLength for control '" + Key() + "'");
    SetRaw(text_, selStart_, std::min(length, Length() - selStart_));
}

void TextBox::SetRaw(std::string text, int selStart, int selLength) {
    const bool textChanged = text != text_;
    if (textChanged) text_ = std::move(text);
    const int length = Length();
    selStart = std::clamp(selStart, 0, length);
    selLength = std::clamp(selLength, 0, length - selStart);
    const bool selectionChanged = selStart != selStart_ || selLength != selLength_;
    selStart_ = selStart;
    selLength_ = selLength;
    if (textChanged) Notify(Change::Text);
    if (selectionChanged) Notify(Change::Selection);
}

void TextBox::ApplyChar(char32_t ch) {
    std::u32string text = DecodeOrRaise(text_, Key());
    const auto start = static_cast<std::size_t>(selStart_);
    const auto length = static_cast<std::size_t>(selLength_);
    if (ch == static_cast<char32_t>(key::Backspace)) {
        if (length > 0) {
            text.erase(start, length);
            SetRaw(utf8::Encode(text), selStart_, 0);
        } else if (start > 0) {
            text.erase(start - 1, 1);
            SetRaw(utf8::Encode(text), selStart_ - 1, 0);
        }
        return;
    }
    // Other control characters (Enter, Escape, ...) do not edit the text.
    if (ch < 0x20 || ch == 0x7F || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) return;
    text.replace(start, length, 1, ch);
    SetRaw(utf8::Encode(text), selStart_ + 1, 0);
}

void TextBox::DeleteForward() {
    std::u32string text = DecodeOrRaise(text_, Key());
    const auto start = static_cast<std::size_t>(selStart_);
    if (selLength_ > 0) {
        text.erase(start, static_cast<std::size_t>(selLength_));
    } else if (start < text.size()) {
        text.erase(start, 1);
    } else {
        return;
    }
    SetRaw(utf8::Encode(text), selStart_, 0);
}

}  // namespace kado::forms
