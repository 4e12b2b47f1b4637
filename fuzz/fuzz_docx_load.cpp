// Loading a .docx from any bytes must end in a document or a com::Error; a
// loaded document must save and load again, and saving that gives the same
// text and comment parts again (no save adds anything of its own).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/com/error.h"
#include "platform/word/package.h"
#include "platform/word/word.h"

namespace {

std::string Part(const std::string& docx, const char* name) {
    auto p = kado::word::pkg::Package::FromBytes(docx);
    return p.Has(name) ? p.Read(name) : std::string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using kado::word::Document;
    std::shared_ptr<Document> doc;
    try {
        doc = Document::FromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const kado::com::Error&) {
        return 0;
    }
    // What we wrote ourselves has to load again: an error here is a real fault.
    const std::string saved = doc->ToBytes();
    auto again = Document::FromBytes(saved);
    if (again->Content().Text() != doc->Content().Text()) __builtin_trap();
    const std::string resaved = again->ToBytes();
    for (const char* part : {"word/document.xml", "word/comments.xml"})
        if (Part(resaved, part) != Part(saved, part)) __builtin_trap();
    return 0;
}
