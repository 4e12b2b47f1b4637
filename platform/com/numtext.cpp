#include "platform/com/numtext.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace kado::com {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the exponent whose marker stands at i (sign, digits) into plain as
// "e..." and moves i past it; without digits nothing is taken and i stays.
bool AppendExponent(std::string_view text, size_t& i, std::string& plain) {
    size_t j = i + 1;
    std::string exp = "e";
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) exp += text[j++];
    const size_t first = j;
    while (j < text.size() && IsDigit(text[j])) exp += text[j++];
    if (j == first) return false;
    plain += exp;
    i = j;
    return true;
}

// Locale-independent: the host process may have called setlocale, so no
// printf/strtod for number text.
std::string ShortestText(double value, int precision) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-1,#INF" : "1,#INF";
    if (value == 0.0) return "0";  // also drops the sign of -0
    const std::string s = DotText(value, precision);
    // to_chars writes "1e+20"; the runtime writes "1E+20" with at least two exponent digits.
    std::string out;
    out.reserve(s.size() + 2);
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '.') {
            out += ',';
        } else if (c == 'e') {
            out += 'E';
            ++i;
            out += s[i];  // sign
            std::string exp = s.substr(i + 1);
            if (exp.size() < 2) exp.insert(0, 2 - exp.size(), '0');
            out += exp;
            break;
        } else {
            out += c;
        }
    }
    return out;
}

double FromPlainText(const std::string& text) {
    double v = 0.0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Underflow reads as zero, overflow as infinity.
        bool huge = text.find("e-") == std::string::npos;
        bool neg = !text.empty() && text[0] == '-';
        return huge ? (neg ? -HUGE_VAL : HUGE_VAL) : (neg ? -0.0 : 0.0);
    }
    return v;
}

}  // namespace

std::string DotText(double value, int precision) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, precision);
    return std::string(buf, r.ptr);
}

std::optional<double> ReadDotNumber(std::string_view text, bool prefixOnly) {
    double v = 0.0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || (!prefixOnly && r.ptr != text.data() + text.size())) return std::nullopt;
    return v;
}

std::string NumberToText(double value) { return ShortestText(value, 15); }

std::string NumberToTextSingle(float value) { return ShortestText(static_cast<double>(value), 7); }

std::optional<double> ParseGermanNumber(std::string_view text) {
    size_t i = 0, n = text.size();
    while (i < n && IsBlank(text[i])) ++i;
    while (n > i && IsBlank(text[n - 1])) --n;
    std::string plain;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') plain += '-';
        ++i;
    }
    size_t digits = 0;
    // Integer part: "." groups are tolerated between digits, as the locale's reading does.
    while (i < n) {
        if (IsDigit(text[i])) {
            plain += text[i];
            ++digits;
            ++i;
        } else if (text[i] == '.' && digits > 0 && i + 1 < n && IsDigit(text[i + 1])) {
            ++i;
        } else {
            break;
        }
    }
    if (i < n && text[i] == ',') {
        ++i;
        plain += '.';
        while (i < n && IsDigit(text[i])) {
            plain += text[i];
            ++digits;
            ++i;
        }
    }
    if (digits == 0) return std::nullopt;
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        if (!AppendExponent(text, i, plain)) return std::nullopt;
    }
    if (i != n) return std::nullopt;
    return FromPlainText(plain);
}

double PlainRead(std::string_view text) {
    size_t i = 0, n = text.size();
    while (i < n && (IsBlank(text[i]) || text[i] == '\n' || text[i] == '\r')) ++i;
    std::string plain;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') plain += '-';
        ++i;
    }
    size_t digits = 0;
    while (i < n && IsDigit(text[i])) {
        plain += text[i++];
        ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        plain += '.';
        while (i < n && IsDigit(text[i])) {
            plain += text[i++];
            ++digits;
        }
    }
    if (digits == 0) return 0.0;
    if (i < n && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        AppendExponent(text, i, plain);
    }
    if (plain == "-" || plain == "." || plain == "-.") return 0.0;
    return FromPlainText(plain);
}

std::string FormatFixed(double value, int decimals, bool thousands) {
    if (decimals < 0) decimals = 0;
    if (decimals > 30) decimals = 30;
    if (!std::isfinite(value)) return NumberToText(value);
    const bool negative = value < 0;
    const double magnitude = std::fabs(value);

    // The decimal value the runtime sees: 15 significant digits.
    std::string digits;  // integer and fraction digits, no point
    int pointPos = 1;    // digits before the decimal point
    if (magnitude == 0.0) {
        digits = "0";
    } else {
        char buf[64];
        auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
        std::string s(buf, r.ptr);
        size_t e = s.find('e');
        int exp = std::atoi(s.c_str() + e + 1);
        for (size_t k = 0; k < e; ++k)
            if (IsDigit(s[k])) digits += s[k];
        pointPos = exp + 1;
        if (pointPos <= 0) {
            digits.insert(0, static_cast<size_t>(1 - pointPos), '0');
            pointPos = 1;
        }
    }
    const size_t keep = static_cast<size_t>(pointPos + decimals);
    if (digits.size() < keep) digits.append(keep - digits.size(), '0');
    bool roundUp = digits.size() > keep && digits[keep] >= '5';
    digits.resize(keep);
    if (roundUp) {
        int k = static_cast<int>(keep) - 1;
        while (k >= 0 && digits[static_cast<size_t>(k)] == '9') digits[static_cast<size_t>(k--)] = '0';
        if (k >= 0) {
            ++digits[static_cast<size_t>(k)];
        } else {
            digits.insert(0, 1, '1');
            ++pointPos;
        }
    }
    std::string intPart = digits.substr(0, static_cast<size_t>(pointPos));
    std::string fracPart = digits.substr(static_cast<size_t>(pointPos));
    size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? "0" : intPart.substr(nz);
    if (thousands && intPart.size() > 3) {
        std::string grouped;
        size_t lead = intPart.size() % 3;
        if (lead == 0) lead = 3;
        grouped = intPart.substr(0, lead);
        for (size_t k = lead; k < intPart.size(); k += 3) grouped += "." + intPart.substr(k, 3);
        intPart = grouped;
    }
    bool allZero = intPart == "0" && fracPart.find_first_not_of('0') == std::string::npos;
    std::string out = (negative && !allZero) ? "-" : "";
    out += intPart;
    if (decimals > 0) out += "," + fracPart;
    return out;
}

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    double fl = std::floor(value);
    double diff = value - fl;
    if (diff > 0.5) return fl + 1.0;
    if (diff < 0.5) return fl;
    return std::fmod(fl, 2.0) == 0.0 ? fl : fl + 1.0;
}

}  // namespace kado::com
