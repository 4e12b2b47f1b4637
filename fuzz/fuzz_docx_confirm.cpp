// A table confirmed at a template's marker, on any bytes that load: the edit
// ends in a document or a com::Error, and what it saves loads again with the
// same text (the bytes kept from the template and the written ones agree).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/com/error.h"
#include "platform/word/word.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kado::word;
    std::shared_ptr<Document> doc;
    try {
        doc = Document::FromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const kado::com::Error&) {
        return 0;
    }
    try {
        Range r = doc->Content();
        r.Collapse(CollapseDirection::End);
        r.MoveStart(Unit::Word, -1 - static_cast<long>(size % 7));
        r.InsertParagraphBefore();
        r.Collapse(CollapseDirection::Start);
        Table t = doc->GetTables().Add(r, 2, 2);
        t.GetCell(1, 1).GetRange().SetText("Titel");
    } catch (const kado::com::Error&) {
        // Refused where no table can go (inside a table): the document stays whole.
    }
    const std::string saved = doc->ToBytes();
    if (Document::FromBytes(saved)->Content().Text() != doc->Content().Text()) __builtin_trap();
    return 0;
}
