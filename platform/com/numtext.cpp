// German number text: the runtime's conversion, the strict and the plain reading.
#include "platform/com/numtext.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kado::com {

namespace {

// Digits of |value| rounded to `decimals` places, half away from zero on the
// decimal text (so 2.675 stored as 2.67499.. still rounds up).
std::string RoundedDigits(double value, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", std::fabs(value));
    double shortest = std::strtod(buf, nullptr);
    std::snprintf(buf, sizeof buf, "%.*f", decimals + 3, shortest);
    std::string s(buf);
    const auto dot = s.find('.');
    std::string digits = s.substr(0, dot) + s.substr(dot + 1, decimals);
    const char next = s[dot + 1 + decimals];
    if (next >= '5') {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0 && digits[i] == '9') digits[i--] = '0';
        if (i < 0) digits.insert(digits.begin(), '1');
        else ++digits[i];
    }
    return digits;
}

}  // namespace

double RoundHalfEven(double value) { return std::nearbyint(value); }

std::string NumberToText(double value) {
    if (value == 0) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    std::string s(buf);
    const auto e = s.find('E');
    std::string mant = e == std::string::npos ? s : s.substr(0, e);
    if (mant.find('.') != std::string::npos) {
        while (!mant.empty() && mant.back() == '0') mant.pop_back();
        if (!mant.empty() && mant.back() == '.') mant.pop_back();
    }
    for (char& c : mant)
        if (c == '.') c = ',';
    if (e == std::string::npos) return mant;
    const int exp = std::atoi(s.c_str() + e + 1);
    return mant + (exp < 0 ? "E-" : "E+") + (std::abs(exp) < 10 ? "0" : "") + std::to_string(std::abs(exp));
}

std::optional<double> ParseGermanNumber(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    std::string_view t = text.substr(b, e - b);
    std::string plain;
    size_t i = 0;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) plain += t[i++];
    bool digits = false, comma = false;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            plain += c;
            digits = true;
        } else if (c == '.' && !comma && digits) {
            continue;  // thousands separator
        } else if (c == ',' && !comma) {
            comma = true;
            plain += '.';
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    return std::strtod(plain.c_str(), nullptr);
}

double PlainRead(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::string num;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) num += text[i++];
    bool dot = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c))) num += c;
        else if (c == '.' && !dot) { dot = true; num += c; }
        else break;
    }
    return num.empty() ? 0.0 : std::strtod(num.c_str(), nullptr);
}

std::string FormatFixed(double value, int decimals, bool thousands) {
    std::string digits = RoundedDigits(value, decimals);
    std::string intPart = digits.substr(0, digits.size() - decimals);
    const std::string frac = digits.substr(digits.size() - decimals);
    if (intPart.empty()) intPart = "0";
    const size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? "0" : intPart.substr(nz);
    if (thousands)
        for (int p = static_cast<int>(intPart.size()) - 3; p > 0; p -= 3) intPart.insert(p, ".");
    const bool negative = value < 0 && digits.find_first_not_of('0') != std::string::npos;
    return (negative ? "-" : "") + intPart + (decimals > 0 ? "," + frac : "");
}

}  // namespace kado::com
