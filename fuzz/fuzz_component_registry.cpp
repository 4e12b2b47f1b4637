// The component registry file is read on every object creation and may be
// edited by hand: any text must parse, and what it yields must format and
// parse back to the same entries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/com/component_registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto entries = kado::com::ParseRegistry(text);
    if (kado::com::ParseRegistry(kado::com::FormatRegistry(entries)) != entries) std::abort();
    return 0;
}
