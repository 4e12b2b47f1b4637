#include "plugin/dialogs/framework/cell_io.h"

#include "plugin/common/steps.h"
#include "plugin/common/need.h"
#include "plugin/component/honora.h"

namespace honora {

namespace word = kado::word;

namespace {

// Drops the last n code points of a UTF-8 text.
std::string DropLastCharacters(std::string text, int n) {
    while (n-- > 0 && !text.empty()) {
        size_t i = text.size() - 1;
        while (i > 0 && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) --i;
        text.erase(i);
    }
    return text;
}

}  // namespace

std::string ZelleEinlesen(const word::Table& table, int16_t row, int16_t column) {
    Steps s("Rechnung", "ZelleEinlesen");
    std::string text;
    s(100, [&] { text = DropLastCharacters(table.GetCell(row, column).GetRange().Text(), 2); });
    return text;
}

void wordTabelle(const word::Table& table, int16_t row, int16_t column, std::string_view text, bool bold,
                 std::string_view comment) {
    RequireObject(table);
    Steps s("Rechnung", "wordTabelle");
    word::Range r;
    s(100, [&] { r = table.GetCell(row, column).GetRange(); });
    s(110, [&] { r.InsertAfter(text); });
    s(120, [&] {
        if (bold) r.SetBold(true);
    });
    s(130, [&] {
        if (!comment.empty()) r.GetComments().Add(table.GetCell(row, column).GetRange(), comment, kCommentAuthor);
    });
    r = {};
}

}  // namespace honora
