// The masked edit box: the text always has the mask's shape, blanks standing
// for empty placeholders; typing fills placeholders and steps over literals.
#include <vector>

#include "platform/com/error.h"
#include "platform/forms/forms.h"
#include "platform/forms/utf8.h"

namespace kado::forms {

namespace {

constexpr char32_t kPrompt = U' ';

struct Slot {
    bool placeholder = false;
    char32_t ch = 0;  // the placeholder character, or the literal itself
};

std::vector<Slot> ParseMask(std::u32string_view mask) {
    std::vector<Slot> slots;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const char32_t c = mask[i];
        if (c == U'\\' && i + 1 < mask.size()) {
            slots.push_back({false, mask[++i]});
        } else if (c == U'#' || c == U'9' || c == U'?' || c == U'A' || c == U'a' || c == U'&' || c == U'C') {
            slots.push_back({true, c});
        } else {
            slots.push_back({false, c});
        }
    }
    return slots;
}

bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

bool IsLetter(char32_t c) {
    if ((c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z')) return true;
    // Latin-1 letters (umlauts, ß) and the letters of the scripts beyond.
    return c >= 0xC0 && c != 0xD7 && c != 0xF7;
}

bool Accepts(const Slot& slot, char32_t c) {
    switch (slot.ch) {
        case U'#':
        case U'9':
            return IsDigit(c);
        case U'?':
            return IsLetter(c);
        case U'A':
        case U'a':
            return IsLetter(c) || IsDigit(c);
        default:  // '&', 'C'
            return c >= 0x20 && c != 0x7F;
    }
}

std::u32string Prompts(const std::vector<Slot>& slots) {
    std::u32string text;
    for (const Slot& s : slots) text.push_back(s.placeholder ? kPrompt : s.ch);
    return text;
}

std::u32string DecodeOrRaise(std::string_view text, const std::string& what) {
    auto decoded = utf8::Decode(text);
    if (!decoded) com::Raise(err::InvalidPropertyValue, what + " is not valid UTF-8");
    return std::move(*decoded);
}

// The slots and the current text, which has one character per slot.
struct Edit {
    std::vector<Slot> slots;
    std::u32string text;

    void Clear(std::size_t from, std::size_t count) {
        for (std::size_t i = from; i < from + count && i < slots.size(); ++i)
            if (slots[i].placeholder) text[i] = kPrompt;
    }
    std::size_t NextPlaceholder(std::size_t from) const {
        for (std::size_t i = from; i < slots.size(); ++i)
            if (slots[i].placeholder) return i;
        return slots.size();
    }
};

}  // namespace

MaskEdBox::MaskEdBox(Form& f, std::string name, int index, std::string container, GridPlace place)
    : TextBox(f, ControlKind::MaskEdBox, std::move(name), index, std::move(container), place) {}

void MaskEdBox::SetMask(std::string mask) {
    const std::u32string decoded = DecodeOrRaise(mask, "Mask of control '" + Key() + "'");
    mask_ = std::move(mask);
    SetRaw(utf8::Encode(Prompts(ParseMask(decoded))), 0, 0);
}

void MaskEdBox::SetText(std::string text) {
    if (mask_.empty()) {
        TextBox::SetText(std::move(text));
        return;
    }
    const std::vector<Slot> slots = ParseMask(*utf8::Decode(mask_));
    if (text.empty()) {
        SetRaw(utf8::Encode(Prompts(slots)), 0, 0);
        return;
    }
    const std::u32string decoded = DecodeOrRaise(text, "Text for control '" + Key() + "'");
    bool fits = decoded.size() == slots.size();
    for (std::size_t i = 0; fits && i < slots.size(); ++i) {
        const char32_t c = decoded[i];
        fits = slots[i].placeholder ? (c == kPrompt || Accepts(slots[i], c)) : c == slots[i].ch;
    }
    if (!fits)
        com::Raise(err::InvalidPropertyValue,
                   "Text '" + text + "' does not fit the mask '" + mask_ + "' of control '" + Key() + "'");
    SetRaw(std::move(text), 0, 0);
}

void MaskEdBox::ApplyChar(char32_t ch) {
    if (mask_.empty()) {
        TextBox::ApplyChar(ch);
        return;
    }
    Edit e{ParseMask(*utf8::Decode(mask_)), DecodeOrRaise(Text(), "Text of control '" + Key() + "'")};
    if (e.text.size() != e.slots.size()) e.text = Prompts(e.slots);  // cannot happen; keeps indexes in range
    const auto start = static_cast<std::size_t>(SelStart());
    const auto length = static_cast<std::size_t>(SelLength());

    if (ch == static_cast<char32_t>(key::Backspace)) {
        if (length > 0) {
            e.Clear(start, length);
            SetRaw(utf8::Encode(e.text), SelStart(), 0);
            return;
        }
        for (std::size_t p = start; p > 0; --p) {
            if (e.slots[p - 1].placeholder) {
                e.text[p - 1] = kPrompt;
                SetRaw(utf8::Encode(e.text), static_cast<int>(p - 1), 0);
                return;
            }
        }
        return;
    }
    if (ch < 0x20 || ch == 0x7F) return;

    const std::size_t p = e.NextPlaceholder(start);
    if (p < e.slots.size() && Accepts(e.slots[p], ch)) {
        e.Clear(start, length);
        e.text[p] = ch;
        SetRaw(utf8::Encode(e.text), static_cast<int>(p + 1), 0);
        return;
    }
    // A refused character changes nothing, unless it is the literal that comes next.
    for (std::size_t q = start; q < e.slots.size(); ++q) {
        if (e.slots[q].placeholder) continue;
        if (e.slots[q].ch == ch) SetRaw(Text(), static_cast<int>(q + 1), 0);
        return;
    }
}

void MaskEdBox::DeleteForward() {
    if (mask_.empty()) {
        TextBox::DeleteForward();
        return;
    }
    Edit e{ParseMask(*utf8::Decode(mask_)), DecodeOrRaise(Text(), "Text of control '" + Key() + "'")};
    if (e.text.size() != e.slots.size()) e.text = Prompts(e.slots);
    const auto start = static_cast<std::size_t>(SelStart());
    if (SelLength() > 0) {
        e.Clear(start, static_cast<std::size_t>(SelLength()));
    } else {
        const std::size_t p = e.NextPlaceholder(start);
        if (p >= e.slots.size()) return;
        e.text[p] = kPrompt;
    }
    SetRaw(utf8::Encode(e.text), SelStart(), 0);
}

}  // namespace kado::forms
