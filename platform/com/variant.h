// Variant of the automation runtime with its coercions as a German locale
// performs them. Conversions that cannot succeed throw com::Error.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "platform/com/error.h"
#include "platform/com/object.h"

namespace kado::com {

// Runtime's VarType numbers.
enum class VarType : int16_t {
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Single = 4,
    Double = 5,
    Date = 7,
    String = 8,
    Object = 9,
    Boolean = 11,
};

// An automation date: days since 30.12.1899, the fraction is the time of day.
struct Date {
    double serial = 0.0;
    static Date FromYmd(int year, int month, int day);  // throws 5 on an invalid date
    static Date Today();                                 // local date, no time of day
    static Date Now();                                   // local date and time
    void ToYmd(int& year, int& month, int& day) const;
    bool HasTime() const;
    friend bool operator==(const Date&, const Date&) = default;
};

class Variant {
public:
    Variant() = default;  // Empty
    static Variant Null();

    Variant(bool v);
    Variant(int16_t v);
    Variant(int32_t v);
    Variant(float v);
    Variant(double v);
    Variant(std::string v);
    Variant(std::string_view v);
    Variant(const char* v);
    Variant(Date v);
    Variant(ObjectPtr v);

    VarType Type() const noexcept;
    bool IsEmpty() const noexcept { return Type() == VarType::Empty; }
    bool IsNull() const noexcept { return Type() == VarType::Null; }
    bool IsNumeric() const noexcept;  // Integer, Long, Single, Double, Boolean, Date, Empty
    bool IsObject() const noexcept { return Type() == VarType::Object; }

    // Coercions. Integers round half to even; out of range is error 6;
    // Null is error 94; unconvertible text or an object is error 13.
    int16_t ToInteger() const;
    int32_t ToLong() const;
    float ToSingle() const;
    double ToDouble() const;  // text is read in the German convention ("1.234,5")
    bool ToBool() const;      // "True"/"False", "Wahr"/"Falsch", or a number (non-zero true)
    Date ToDate() const;      // text "dd.mm.yyyy" [hh:mm[:ss]] or a number
    // 15 significant digits, decimal comma, no thousands separators;
    // booleans "Wahr"/"Falsch"; dates dd.mm.yyyy (with " hh:mm:ss" when they carry a time).
    std::string ToString() const;
    ObjectPtr ToObject() const;  // error 13 unless an object (an empty object is error 91)

    // The object cast to a concrete class; error 13 when it is another kind.
    template <class T>
    std::shared_ptr<T> As() const {
        auto obj = ToObject();
        auto p = std::dynamic_pointer_cast<T>(obj);
        if (!p) Raise(err::TypeMismatch);
        return p;
    }

    // Runtime comparison of a variant with a text literal: a text compares as
    // text, Empty equals "", numbers and booleans compare unequal to text that
    // is no number and numerically otherwise; Null is never equal.
    bool EqualsText(std::string_view text) const;

private:
    using Storage = std::variant<std::monostate, bool, int16_t, int32_t, float, double, std::string, Date, ObjectPtr>;
    Storage value_;
    bool null_ = false;
};

}  // namespace kado::com
