// The e-invoice's reading of a finished invoice document from any bytes: the
// fee cells and titles read without a crash, and the XML written from them
// parses back with one invoice line per line read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <pugixml.hpp>
#include <string_view>

#include "host/erechnung/erechnung.h"
#include "platform/com/error.h"
#include "platform/word/word.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kado::host::einvoicing;
    std::shared_ptr<kado::word::Document> doc;
    try {
        doc = kado::word::Document::FromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const kado::com::Error&) {
        return 0;
    }
    const FeeLines g = ReadFeeLines(*doc, 19);
    EInvoice b;
    b.number = "RE-1";
    b.lines = g.lines;
    const std::string xml = WriteUbl(b);
    pugi::xml_document back;
    if (!back.load_string(xml.c_str())) std::abort();
    if (back.select_nodes("//cac:InvoiceLine").size() != g.lines.size()) std::abort();
    return 0;
}
