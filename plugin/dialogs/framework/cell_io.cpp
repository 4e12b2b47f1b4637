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

std::string ZelleEinlesen(const word::Table& Tabelle, int16_t Zeile, int16_t Spalte) {
    Steps s("Rechnung", "ZelleEinlesen");
    std::string text;
    s(100, [&] { text = DropLastCharacters(Tabelle.GetCell(Zeile, Spalte).GetRange().Text(), 2); });
    return text;
}

void wordTabelle(const word::Table& Tabelle, int16_t Zeile, int16_t Spalte, std::string_view Text, bool Fett,
                 std::string_view Kommentar) {
    RequireObject(Tabelle);
    Steps s("Rechnung", "wordTabelle");
    word::Range r;
    s(100, [&] { r = Tabelle.GetCell(Zeile, Spalte).GetRange(); });
    s(110, [&] { r.InsertAfter(Text); });
    s(120, [&] {
        if (Fett) r.SetBold(true);
    });
    s(130, [&] {
        if (!Kommentar.empty())
            r.GetComments().Add(Tabelle.GetCell(Zeile, Spalte).GetRange(), Kommentar, kCommentAuthor);
    });
    r = {};
}

}  // namespace honora
