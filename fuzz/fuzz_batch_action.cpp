// Batch actions come from the command line: any text must parse or be refused.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/batch_action.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    auto a = kado::host::ParseAction(text, error);
    // A parsed control key must be one the host accepts; a refusal must say why.
    if (a && !a->control.empty() && !kado::host::IsControlKey(a->control)) __builtin_trap();
    if (!a && error.empty()) __builtin_trap();
    return 0;
}
