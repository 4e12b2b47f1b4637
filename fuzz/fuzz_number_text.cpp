// Typed and stored number text is untrusted: every reading must survive any
// byte sequence and agree with itself on what it accepted.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/com/numtext.h"
#include "platform/com/variant.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    (void)kado::com::PlainRead(text);
    if (auto v = kado::com::ParseGermanNumber(text); v && std::isfinite(*v)) {
        // What the strict reading accepted must print and read back.
        const std::string printed = kado::com::NumberToText(*v);
        if (!kado::com::ParseGermanNumber(printed) && printed.find('E') == std::string::npos) __builtin_trap();
        (void)kado::com::FormatFixed(*v, 2, true);
    }
    (void)kado::com::ReadDotNumber(text, true);
    // Seventeen digits of what the dot reading accepted read back exactly.
    if (auto d = kado::com::ReadDotNumber(text); d && std::isfinite(*d)) {
        if (kado::com::ReadDotNumber(kado::com::DotText(*d, 17)) != *d) __builtin_trap();
    }
    try {
        kado::com::Variant var(text);
        (void)var.ToDouble();
    } catch (const kado::com::Error&) {
    }
    try {
        (void)kado::com::Variant(text).ToBool();
    } catch (const kado::com::Error&) {
    }
    try {
        (void)kado::com::Variant(text).ToDate();
    } catch (const kado::com::Error&) {
    }
    return 0;
}
