#include "platform/com/variant.h"

#include <cctype>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>

#include "platform/com/numtext.h"

namespace kado::com {

namespace {

// Range of the runtime's dates: 01.01.100 to 31.12.9999.
constexpr double MinDateSerial = -657434.0;
constexpr double MaxDateSerial = 2958465.99999999;

[[noreturn]] void Mismatch() { Raise(err::TypeMismatch); }
[[noreturn]] void Overflow() { Raise(err::Overflow); }
[[noreturn]] void NullUse() { Raise(err::InvalidUseOfNull); }

// Days from 1970-01-01 for a proleptic Gregorian date (H. Hinnant's algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long yy = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

const long long EpochOffset = DaysFromCivil(1899, 12, 30);

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
    return days[month - 1];
}

bool ValidYmd(int year, int month, int day) {
    return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

// The runtime keeps the time of day as a positive fraction also before 1899.
double Compose(double days, double timeFraction) {
    return days < 0 ? days - timeFraction : days + timeFraction;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Reads an unsigned run of 1..maxDigits digits.
bool ReadInt(std::string_view s, size_t& i, int maxDigits, int& out, int& count) {
    out = 0;
    count = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && count < maxDigits) {
        out = out * 10 + (s[i] - '0');
        ++i;
        ++count;
    }
    return count > 0;
}

// "hh:mm[:ss]" after the date; returns false when the rest is not a time.
bool ReadTime(std::string_view s, size_t i, double& fraction) {
    fraction = 0.0;
    if (i == s.size()) return true;
    if (s[i] != ' ' && s[i] != 'T') return false;
    while (i < s.size() && (s[i] == ' ' || s[i] == 'T')) ++i;
    int h = 0, mi = 0, se = 0, c = 0;
    if (!ReadInt(s, i, 2, h, c)) return false;
    if (i >= s.size() || s[i] != ':') return false;
    ++i;
    if (!ReadInt(s, i, 2, mi, c) || c != 2) return false;
    if (i < s.size() && s[i] == ':') {
        ++i;
        if (!ReadInt(s, i, 2, se, c) || c != 2) return false;
    }
    if (i != s.size() || h > 23 || mi > 59 || se > 59) return false;
    fraction = (h * 3600 + mi * 60 + se) / 86400.0;
    return true;
}

bool ParseDateText(std::string_view raw, double& serial) {
    std::string_view s = Trim(raw);
    size_t i = 0;
    int a = 0, b = 0, c = 0, na = 0, nb = 0, nc = 0;
    if (!ReadInt(s, i, 4, a, na)) return false;
    int year = 0, month = 0, day = 0;
    if (na == 4 && i < s.size() && s[i] == '-') {
        // yyyy-mm-dd, the storage form of the database
        ++i;
        if (!ReadInt(s, i, 2, b, nb) || i >= s.size() || s[i] != '-') return false;
        ++i;
        if (!ReadInt(s, i, 2, c, nc)) return false;
        year = a, month = b, day = c;
    } else if (na <= 2 && i < s.size() && s[i] == '.') {
        ++i;
        if (!ReadInt(s, i, 2, b, nb) || i >= s.size() || s[i] != '.') return false;
        ++i;
        if (!ReadInt(s, i, 4, c, nc) || (nc != 2 && nc != 4)) return false;
        // Two-digit years follow the runtime's window: 00-29 -> 20xx, 30-99 -> 19xx.
        if (nc == 2) c += c < 30 ? 2000 : 1900;
        day = a, month = b, year = c;
    } else {
        return false;
    }
    if (!ValidYmd(year, month, day)) return false;
    double fraction = 0.0;
    if (!ReadTime(s, i, fraction)) return false;
    serial = Compose(Date::FromYmd(year, month, day).serial, fraction);
    return true;
}

double DateOrOverflow(double serial) {
    if (!std::isfinite(serial) || serial < MinDateSerial - 0.99999999 || serial > MaxDateSerial) Overflow();
    return serial;
}

}  // namespace

// ---- Date ----

Date Date::FromYmd(int year, int month, int day) {
    if (!ValidYmd(year, month, day)) Raise(err::InvalidProcedureCall);
    const long long days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - EpochOffset;
    return Date{static_cast<double>(days)};
}

namespace {
std::tm LocalNow() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}
}  // namespace

Date Date::Today() {
    const std::tm tm = LocalNow();
    return FromYmd(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

Date Date::Now() {
    const std::tm tm = LocalNow();
    const double day = FromYmd(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday).serial;
    const int secs = tm.tm_hour * 3600 + tm.tm_min * 60 + std::min(tm.tm_sec, 59);
    return Date{Compose(day, secs / 86400.0)};
}

void Date::ToYmd(int& year, int& month, int& day) const {
    const double whole = std::trunc(serial);
    CivilFromDays(static_cast<long long>(whole) + EpochOffset, year, month, day);
}

bool Date::HasTime() const { return serial != std::trunc(serial); }

// ---- Variant ----

Variant Variant::Null() {
    Variant v;
    v.null_ = true;
    return v;
}

Variant::Variant(bool v) : value_(v) {}
Variant::Variant(int16_t v) : value_(v) {}
Variant::Variant(int32_t v) : value_(v) {}
Variant::Variant(float v) : value_(v) {}
Variant::Variant(double v) : value_(v) {}
Variant::Variant(std::string v) : value_(std::move(v)) {}
Variant::Variant(std::string_view v) : value_(std::string(v)) {}
Variant::Variant(const char* v) : value_(std::string(v ? v : "")) {}
Variant::Variant(Date v) : value_(v) {}
Variant::Variant(ObjectPtr v) : value_(std::move(v)) {}

VarType Variant::Type() const noexcept {
    if (null_) return VarType::Null;
    switch (value_.index()) {
        case 1: return VarType::Boolean;
        case 2: return VarType::Integer;
        case 3: return VarType::Long;
        case 4: return VarType::Single;
        case 5: return VarType::Double;
        case 6: return VarType::String;
        case 7: return VarType::Date;
        case 8: return VarType::Object;
        default: return VarType::Empty;
    }
}

bool Variant::IsNumeric() const noexcept {
    switch (Type()) {
        case VarType::Integer:
        case VarType::Long:
        case VarType::Single:
        case VarType::Double:
        case VarType::Boolean:
        case VarType::Date:
        case VarType::Empty:
            return true;
        default:
            return false;
    }
}

double Variant::ToDouble() const {
    if (null_) NullUse();
    return std::visit(
        [](const auto& v) -> double {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return 0.0;
            } else if constexpr (std::is_same_v<T, bool>) {
                return v ? -1.0 : 0.0;
            } else if constexpr (std::is_same_v<T, std::string>) {
                auto parsed = ParseGermanNumber(v);
                if (!parsed) Mismatch();
                if (!std::isfinite(*parsed)) Overflow();
                return *parsed;
            } else if constexpr (std::is_same_v<T, Date>) {
                return v.serial;
            } else if constexpr (std::is_same_v<T, ObjectPtr>) {
                Mismatch();
            } else {
                return static_cast<double>(v);
            }
        },
        value_);
}

namespace {
template <class Int>
Int RoundToInteger(double d) {
    if (std::isnan(d)) Overflow();
    const double r = RoundHalfEven(d);
    if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
        r > static_cast<double>(std::numeric_limits<Int>::max()))
        Overflow();
    return static_cast<Int>(r);
}
}  // namespace

int16_t Variant::ToInteger() const {
    if (auto* i = std::get_if<int16_t>(&value_); i && !null_) return *i;
    return RoundToInteger<int16_t>(ToDouble());
}

int32_t Variant::ToLong() const {
    if (!null_) {
        if (auto* i = std::get_if<int32_t>(&value_)) return *i;
        if (auto* i = std::get_if<int16_t>(&value_)) return *i;
    }
    return RoundToInteger<int32_t>(ToDouble());
}

float Variant::ToSingle() const {
    if (auto* f = std::get_if<float>(&value_); f && !null_) return *f;
    const double d = ToDouble();
    if (std::isfinite(d) && std::fabs(d) > static_cast<double>(FLT_MAX)) Overflow();
    return static_cast<float>(d);
}

bool Variant::ToBool() const {
    if (null_) NullUse();
    if (auto* b = std::get_if<bool>(&value_)) return *b;
    if (auto* s = std::get_if<std::string>(&value_)) {
        const std::string word = Lower(Trim(*s));
        if (word == "true" || word == "wahr") return true;
        if (word == "false" || word == "falsch") return false;
        auto parsed = ParseGermanNumber(*s);
        if (!parsed) Mismatch();
        return *parsed != 0.0;
    }
    return ToDouble() != 0.0;
}

Date Variant::ToDate() const {
    if (null_) NullUse();
    if (auto* d = std::get_if<Date>(&value_)) return *d;
    if (auto* s = std::get_if<std::string>(&value_)) {
        double serial = 0.0;
        if (ParseDateText(*s, serial)) return Date{serial};
        Mismatch();
    }
    if (std::holds_alternative<ObjectPtr>(value_)) Mismatch();
    return Date{DateOrOverflow(ToDouble())};
}

namespace {
std::string TwoDigits(int v) {
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

std::string DateText(const Date& d) {
    int y = 0, m = 0, day = 0;
    d.ToYmd(y, m, day);
    std::string year = std::to_string(y);
    if (year.size() < 4) year.insert(0, 4 - year.size(), '0');
    std::string out = TwoDigits(day) + "." + TwoDigits(m) + "." + year;
    if (d.HasTime()) {
        long long secs = std::llround(std::fabs(d.serial - std::trunc(d.serial)) * 86400.0);
        if (secs > 86399) secs = 86399;  // a fraction a hair below midnight stays on its day
        const int h = static_cast<int>(secs / 3600), mi = static_cast<int>(secs / 60 % 60),
                  se = static_cast<int>(secs % 60);
        out += " " + TwoDigits(h) + ":" + TwoDigits(mi) + ":" + TwoDigits(se);
    }
    return out;
}
}  // namespace

std::string Variant::ToString() const {
    if (null_) NullUse();
    return std::visit(
        [](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return {};
            } else if constexpr (std::is_same_v<T, bool>) {
                return v ? "Wahr" : "Falsch";
            } else if constexpr (std::is_same_v<T, std::string>) {
                return v;
            } else if constexpr (std::is_same_v<T, Date>) {
                return DateText(v);
            } else if constexpr (std::is_same_v<T, ObjectPtr>) {
                Mismatch();
            } else if constexpr (std::is_same_v<T, float>) {
                return NumberToTextSingle(v);
            } else if constexpr (std::is_same_v<T, double>) {
                return NumberToText(v);
            } else {
                return std::to_string(v);
            }
        },
        value_);
}

ObjectPtr Variant::ToObject() const {
    if (null_) Mismatch();
    auto* p = std::get_if<ObjectPtr>(&value_);
    if (!p) Mismatch();
    if (!*p) Raise(err::ObjectNotSet);
    return *p;
}

bool Variant::EqualsText(std::string_view text) const {
    if (null_) return false;
    if (auto* s = std::get_if<std::string>(&value_)) return *s == text;
    if (std::holds_alternative<std::monostate>(value_)) return text.empty();
    if (std::holds_alternative<ObjectPtr>(value_)) return false;
    if (auto* d = std::get_if<Date>(&value_)) {
        double serial = 0.0;
        if (ParseDateText(text, serial)) return serial == d->serial;
    }
    auto parsed = ParseGermanNumber(text);
    if (!parsed) return false;
    return ToDouble() == *parsed;
}

}  // namespace kado::com
