#include "plugin/invoice/totals_collect.h"

#include <algorithm>
#include <optional>
#include <string>

#include "plugin/common/number_text.h"
#include "plugin/common/steps.h"
#include "plugin/invoice/markers.h"

namespace honora {

namespace {

void ZeileSammeln(const kado::word::Table& table, int row, int16_t standardSatz, Gebührensumme& summe) {
    std::string betrag;
    FeeMark mark;
    bool lesbar = Steps::Quiet([&] {
        betrag = table.GetCell(row, 5).GetRange().Text();
        betrag.resize(betrag.size() >= 2 ? betrag.size() - 2 : 0);
    });
    if (!lesbar) return;  // a table with fewer than five columns adds nothing
    Steps::Quiet([&] {
        auto comments = table.GetCell(row, 5).GetRange().GetComments();
        if (comments.Count() > 0) mark = DecodeFeeMark(comments.Item(1).Text());
    });
    if (betrag.empty() || mark.kind == FeeMark::Kind::Excluded) return;
    std::erase(betrag, '\r');

    const double satz = mark.kind == FeeMark::Kind::Rate ? mark.rate : standardSatz;
    const double wert = CVal(betrag);
    if (satz > 0) {
        const float s = static_cast<float>(satz);
        auto it = std::find_if(summe.sätze.begin(), summe.sätze.end(), [s](const Steuersatz& x) { return x.satz == s; });
        if (it == summe.sätze.end()) it = summe.sätze.insert(summe.sätze.end(), Steuersatz{s, 0});
        it->zwischensumme += wert;
    }
    summe.netto += wert;
}

}  // namespace

Gebührensumme GebührenSammeln(kado::word::Document& doc, int16_t standardSatz) {
    Gebührensumme summe;
    int count = 0;
    Steps::Quiet([&] { count = doc.GetTables().Count(); });
    for (int i = 1; i <= count; ++i) {
        std::optional<kado::word::Table> table;
        Steps::Quiet([&] { table = doc.GetTables().Item(i); });
        if (!table) continue;
        // An unreadable heading cell does not rule the table out.
        bool summentabelle = false;
        Steps::Quiet([&] { summentabelle = table->GetCell(1, 2).GetRange().Text() == std::string("Summe") + kado::word::kCellEndMark; });
        if (summentabelle) continue;
        int rows = 0;
        Steps::Quiet([&] { rows = table->GetRows().Count(); });
        for (int r = 1; r <= rows; ++r) ZeileSammeln(*table, r, standardSatz, summe);
    }
    return summe;
}

}  // namespace honora
