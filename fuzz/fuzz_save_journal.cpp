// A save journal lies beside the document, where anyone may write: any bytes
// must parse or be refused, and what parses must write back as it read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "host/invoice_commit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto journal = kado::host::Journal::Parse(text);
    if (!journal) return 0;
    const auto again = kado::host::Journal::Parse(journal->Text());
    if (!again || again->Text() != journal->Text()) __builtin_trap();
    return 0;
}
