#include "plugin/common/number_text.h"

#include <algorithm>
#include <optional>

#include "platform/com/numtext.h"
#include "plugin/common/steps.h"

namespace honora {

using kado::com::Variant;

std::string WertFormatieren(std::string value, int16_t width, int16_t decimals, bool withoutThousands) {
    Steps s("Funktionen", "WertFormatieren");
    int32_t p = 0;
    s(100, [&] { std::erase(value, '.'); });
    s(110, [&] { std::replace(value.begin(), value.end(), ',', '.'); });
    s(120, [&] { std::replace(value.begin(), value.end(), '%', ' '); });
    s(130, [&] {
        // 16-bit arithmetic as the callers' integers.
        int32_t r = decimals == 0 ? width - decimals : width - decimals - 1;
        if (r < INT16_MIN || r > INT16_MAX) kado::com::Raise(kado::com::err::Overflow, "Overflow");
        p = r;
    });
    s(140, [&] {
        if (p <= 0) return;
        const auto pos = static_cast<size_t>(p);
        int32_t k = p - 1;
        while (value.size() >= pos && value[pos - 1] == ' ' && k > 0) {
            value = value.substr(0, pos) + " ";
            --k;
        }
    });
    s(150, [&] {
        if (value.empty()) value = "0";
    });
    s(160, [&] {
        if (kado::com::PlainRead(value) == 0 && !value.empty() && value.back() == ' ') value.back() = '0';
    });
    s(170, [&] {
        if (decimals >= 0 && decimals <= 3) value = kado::com::FormatFixed(kado::com::PlainRead(value), decimals, true);
    });
    s(180, [&] {
        if (width > 0 && value.size() < static_cast<size_t>(width)) value.insert(0, width - value.size(), ' ');
    });
    s(190, [&] {
        if (withoutThousands) std::erase(value, '.');
    });
    return value;
}

std::string AmountText(double value, int16_t width, int16_t decimals) {
    return WertFormatieren(kado::com::NumberToText(value), width, decimals, true);
}

double CVal(std::string_view text) {
    Steps s("Funktionen", "CVal");
    double result = 0;
    std::string t;
    std::string collected;
    bool whole = false;
    s(100, [&] {
        size_t b = text.find_first_not_of(' ');
        size_t e = text.find_last_not_of(' ');
        t = b == std::string_view::npos ? std::string() : std::string(text.substr(b, e - b + 1));
    });
    s(110, [&] {
        if (auto v = kado::com::ParseGermanNumber(t)) {
            result = *v;
            whole = true;
        }
    });
    if (whole) return result;
    s(120, [&] {
        for (char c : t) {
            if ((c < '0' || c > '9') && c != '-' && c != ',' && c != '.') break;
            collected += c;
        }
    });
    if (collected.empty() || collected == ",") return 0;
    s(130, [&] {
        auto v = kado::com::ParseGermanNumber(collected);
        if (!v) kado::com::Raise(kado::com::err::TypeMismatch, "Type mismatch");
        result = *v;
    });
    return result;
}

Variant ZahlDatensatzLesen(const Variant& value) {
    Steps s("Funktionen", "ZahlDatensatzLesen");
    Variant result = static_cast<int16_t>(0);
    s(100, [&] {
        if (!value.IsNull() && !value.EqualsText("")) result = value;
    });
    return result;
}

Variant BoolDatensatzLesen(const Variant& value) {
    Steps s("Funktionen", "BoolDatensatzLesen");
    Variant result = static_cast<int16_t>(0);
    s(100, [&] {
        if (!value.IsNull()) result = value;
    });
    return result;
}

void TextMarkieren(SelectableText& control) noexcept {
    Steps::Quiet([&] { control.SetSelStart(0); });
    Steps::Quiet([&] { control.SetSelLength(255); });
}

}  // namespace honora
