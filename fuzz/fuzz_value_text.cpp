// Label texts, shares and typed values reach CVal and WertFormatieren as they
// stand: any bytes, any width and decimals must neither crash nor disagree.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "plugin/common/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // The first two bytes choose width and decimals, the rest is the text.
    const auto width = static_cast<int16_t>(data[0] % 40);
    const auto decimals = static_cast<int16_t>(data[1] % 5);
    const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);
    const double value = honora::CVal(text);
    if (std::isnan(value)) __builtin_trap();
    const std::string formatted = honora::WertFormatieren(text, width, decimals, (data[0] & 0x80) != 0);
    (void)honora::WertFormatieren(formatted, width, decimals, true);
    // An amount of ordinary size reads back within a cent (the text rounds
    // its decimal value, not the binary one).
    if (std::isfinite(value) && value >= 0 && value < 1e9) {
        const std::string amount = honora::AmountText(value, 12, 2);
        if (std::fabs(honora::CVal(amount) - value) > 0.0101) __builtin_trap();
    }
    return 0;
}
