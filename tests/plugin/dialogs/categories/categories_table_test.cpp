// The fee tables of the four dialogs in a real document: row counts, the
// optional blocks, the factor shown, the share and reduction rows, which
// amounts the invoice adds, and Show's indexes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "category_fixture.h"
#include "plugin/dialogs/categories/category_dialogs.h"

namespace category_test {
namespace {

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

struct Cell {
    int row, column;
    const char* text;
};

struct TableCase {
    const char* name;
    int index;
    Steps steps;
    int rows;
    std::vector<Cell> cells;
    std::vector<int> payable;  // rows of column 5 without comment
};

class CategoryTable : public CategoryTest, public ::testing::WithParamInterface<TableCase> {};

TEST_P(CategoryTable, WritesItsRowsAndMarksOnlyWhatIsBilled) {
    const TableCase& c = GetParam();
    auto t = ConfirmIndex(c.index, c.steps);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->GetRows().Count(), c.rows);
    for (const auto& cell : c.cells)
        EXPECT_EQ(CellText(*t, cell.row, cell.column), cell.text) << "cell (" << cell.row << "," << cell.column << ")";
    const Marking m = MarkingOf(*t);
    EXPECT_THAT(m.payable, ElementsAreArray(c.payable));
    EXPECT_THAT(m.otherwise, IsEmpty()) << "every other amount carries \"no\"";
    EXPECT_EQ(CellText(*t, 1, 1), std::string(CategoryOf(c.index).caption) + "\r");
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

const Steps kKat1 = {"mskAusFlur=2", "mskGesamt=3", "mskGP=4", "mskAGP=4", "mskBoden=200"};
Steps With(Steps steps, const Steps& more) {
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}
const Steps kKat2 = {"mskAusFlur=2", "mskGesamt=3", "mskGP=5", "mskAGP=4", "mskBoden=250"};
const Steps kKat4 = {"txtGebäude=Wohnhaus", "mskAnzahl=12", "mskBaukosten=150000"};

INSTANTIATE_TEST_SUITE_P(
    Cases, CategoryTable,
    ::testing::Values(
        TableCase{"Kat1Plain", 4, kKat1, 19,
                  {{3, 1, "30.21.1"}, {4, 3, "2   "}, {4, 4, "150,00 €"}, {4, 5, "300,00 €"}, {6, 1, "30.21.2.1"},
                   {9, 1, "30.21.3"}, {11, 2, "Zwischensumme"}, {11, 5, "1120,00 €"}, {13, 1, "30.22.2"},
                   {15, 1, "30.23.1"}, {16, 2, "Bodenwert"}, {17, 2, "200  €/m²"}, {17, 3, "2,25"},
                   {19, 2, "Gebühr = (Zwischensumme + 30.22.2) * Faktor"}, {19, 5, "2880,00 €"}},
                  {19}},
        TableCase{"Kat1Splinter", 4, With(kKat1, {"click sevCheck1"}), 21,
                  {{13, 1, "30.1.2"}, {13, 2, "Ermäßigung Splitterflächen"}, {13, 3, "Faktor"}, {14, 3, "0,7"},
                   {15, 1, "30.22.2"}, {21, 5, "2124,00 €"}},
                  {21}},
        TableCase{"Kat1ClassificationShown", 4, With(kKat1, {"mskBoden=5", "select cmbKlassifizierung=1"}), 19,
                  {{15, 1, "30.23.2"}, {16, 2, "Klassifizierung"},
                   {17, 2, "Kreisstraßen, Gemeindestraßen, Gewässer 2. Ordnung"}, {17, 3, "1,2"}},
                  {19}},
        TableCase{"Kat1AllReductions", 4,
                  With(kKat1, {"mskGesamt2=1", "txt_2=Nord", "mskGesamt75=1", "mskWeiter75=2", "mskGesamt599=1"}),
                  30,
                  {{9, 1, "30.21.2.2"}, {9, 2, "Ermäßigungen 2 Flurstücke mit Fläche < 75m² "}, {10, 2, "Nord"},
                   {10, 5, "-330,00 €"}, {12, 1, "30.21.2.3"}, {13, 4, "-220,00 €"},
                   {15, 1, ""}, {15, 2, "Ermäßigungen Fläche < 75m², weitere Flurstück "}, {15, 3, "2   "},
                   {15, 5, "-220,00 €"}, {17, 1, "30.21.2.4"}, {18, 5, "220,00 €"}, {20, 1, "30.21.3"}},
                  {30}},
        // Further parcels without a first one: no row, two spare rows at the end.
        TableCase{"Kat1FurtherWithoutFirst", 4, With(kKat1, {"mskWeiter75=2"}), 21,
                  {{9, 1, "30.21.3"}, {19, 5, "2385,00 €"}, {20, 2, ""}, {21, 2, ""}}, {19}},
        // Empty counts read as 0; the fixed items' rows are still written.
        TableCase{"Kat1Empty", 4, {}, 19,
                  {{4, 3, "    "}, {4, 5, "  0,00 €"}, {7, 5, "  0,00 €"}, {9, 5, "  0,00 €"}, {13, 5, "  0,00 €"},
                   {17, 2, "     €/m²"}, {17, 3, "0,0"}, {19, 5, "  0,00 €"}},
                  {19}},
        TableCase{"Kat1Share", 4, With(kKat1, {"mskBezug=500,00"}), 21,
                  {{20, 2, ""}, {21, 2, "Anteil in 1/1000"}, {21, 3, "500"}, {21, 5, "1440,00 €"}}, {21}},
        TableCase{"Kat1ShareReadAsAThousand", 4, With(kKat1, {"mskBezug=1000,50"}), 19, {}, {19}},
        TableCase{"Kat2Plain", 3, kKat2, 21,
                  {{6, 1, "30.21.2"}, {11, 2, "Abzumarkende Grenzpunkte"}, {15, 2, "Wertfaktor bei einem Bodenwert von"},
                   {15, 3, "250  €/m²"}, {16, 3, "2,25"}, {18, 1, "30.2.1"}, {19, 3, "1,6"}, {21, 5, "4752,00 €"}},
                  {21}},
        // The reduction is billed with the fee.
        TableCase{"Kat2Reduction", 3, With(kKat2, {"click chkErmäßigung"}), 23,
                  {{23, 1, "30.2.4"}, {23, 3, "20%"}, {23, 5, " -950,40 €"}}, {21, 23}},
        TableCase{"Kat2ReductionAndShare", 3, With(kKat2, {"click chkErmäßigung", "mskBezug=500,00"}), 25,
                  {{23, 5, " -950,40 €"}, {25, 2, "Anteil in 1/1000"}, {25, 3, "500"}, {25, 5, "1900,80 €"}}, {25}},
        TableCase{"Kat2Empty", 3, {}, 21, {{4, 5, "  0,00 €"}, {21, 5, "  0,00 €"}}, {21}},
        TableCase{"Kat3Share", 2, {"mskAusFlur=1", "mskFlurstücke=4", "mskGP=6", "mskAGP=6", "mskBezug=250,00"}, 23,
                  {{6, 1, "30.21.2"}, {7, 2, "4    Flur-/Zuflurstücke"}, {8, 3, "4   "}, {8, 5, "880,00 €"},
                   {16, 1, "30.23.2"}, {17, 2, "Klassifizierung"}, {18, 3, "1,5"},
                   {21, 2, "Gebühr = Zwischensumme * Wertfaktor"}, {21, 5, "2265,00 €"}, {23, 5, "  566,25 €"}},
                  {23}},
        TableCase{"Kat3Empty", 2, {}, 21, {{21, 5, "  0,00 €"}}, {21}},
        TableCase{"Kat4Band", 1, With(kKat4, {"click chkBereich"}), 14,
                  {{3, 1, "30.24"}, {4, 2, "Wohnhaus"}, {6, 3, "12  "}, {9, 2, "zwischen 100 T€ und 400 T€"},
                   {11, 5, "  300,00 €"}, {12, 2, "weitere 1 bis 5 Gebäude oder Gebäudeteile"}, {12, 3, "   2"},
                   {12, 4, "    90"}, {12, 5, "  180,00 €"}, {14, 2, "Gebühr"}, {14, 5, "480,00 €"}},
                  {14}},
        TableCase{"Kat4Amount", 1, kKat4, 14, {{9, 2, "150000 €"}}, {14}},
        // Five buildings: no further groups, the fee row moves up.
        TableCase{"Kat4FiveBuildings", 1, {"mskAnzahl=5"}, 14,
                  {{9, 2, "      0 €"}, {12, 2, ""}, {13, 2, "Gebühr"}, {13, 5, "100,00 €"}, {14, 2, ""}}, {13}},
        TableCase{"Kat4Share", 1, With(kKat4, {"mskBezug=250,00"}), 16,
                  {{15, 2, ""}, {16, 2, "Anteil in 1/1000"}, {16, 3, "250"}, {16, 5, "  120,00 €"}}, {16}},
        TableCase{"Kat4ShareFiveBuildings", 1, {"mskAnzahl=5", "mskBezug=250,00"}, 16,
                  {{13, 2, "Gebühr"}, {15, 2, "Anteil in 1/1000"}, {15, 5, "   25,00 €"}}, {15}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CategoryTest, EveryShowIndexOpensItsDialogInsideTheHostWindow) {
    honora::RegisterCategoryDialogs();
    const std::pair<const char*, const char*> dialogs[] = {
        {"frmKat5", "Grenzfeststellung nach Nr. 30.6"}, {"frmKat4", "Gebäudeaufnahme nach Nr. 30.4"},
        {"frmKat3", "Lang gestreckte Anlagen nach Nr. 30.3"}, {"frmKat2", "Baulandumlegung nach Nr. 30.2"},
        {"frmKat1", "Zerlegung nach Nr. 30.1"}};
    for (int16_t i = 0; i < 5; ++i) {
        ASSERT_TRUE(honora::OpenDialog(i)) << i;
        auto form = desktop_->LastModeless();
        ASSERT_TRUE(form);
        EXPECT_EQ(form->Name(), dialogs[i].first);
        EXPECT_EQ(form->Caption(), dialogs[i].second);
        EXPECT_EQ(form->ParentWindow(), kMdi);
    }
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

// A Zerlegung whose reductions would bill below zero is refused as the user
// confirms it: the hint names the contradicting counts, nothing is written and
// the dialog stays open; mended, the same dialog writes its table.
TEST_F(CategoryTest, ZerlegungBelowZeroIsRefusedWithTheCountsNamed) {
    const struct {
        const char* what;
        Steps steps;
        const char* hint;   // part of the text the user is told
        const char* mend;   // then typed, and the fee written
        const char* fee;
    } cases[] = {
        {"formed parcels forgotten", {"mskGesamt75=1", "mskBoden=5"},
         "zählen 1 Flurstücke < 75m² (davon Fläche < 75m², erstes: 1), gebildete Flurstücke sind aber nur 0",
         "mskGesamt=1", "  0,00 €"},
        {"the same parcels under both reductions",
         {"mskGesamt=2", "mskGesamt2=1", "mskGesamt75=1", "mskWeiter75=1", "mskBoden=5"},
         "zählen 4 Flurstücke < 75m² (davon Zerlegung in 2 Flurstücke < 75m²: 1, also 2 Flurstücke; davon Fläche < "
         "75m², erstes: 1; weitere: 1), gebildete Flurstücke sind aber nur 2",
         "mskGesamt=4", "220,00 €"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto& f = OpenIndex(4);
        PlaySteps(f, c.steps);
        const std::string before = Doc().ToBytes();
        std::string hint;
        desktop_->QueueAnswer([&](forms::Form& m) { hint = m.Get<forms::Label>("lblHinweis").Caption(); });
        driver_->Click(f, "CommandEnde");
        EXPECT_THAT(hint, ::testing::HasSubstr(c.hint));
        EXPECT_TRUE(dialog_->IsOpen());
        EXPECT_EQ(Doc().ToBytes(), before) << "the document was changed";

        PlaySteps(f, {c.mend});
        driver_->Click(f, "CommandEnde");
        EXPECT_FALSE(dialog_->IsOpen());
        auto t = MarkedTable();
        ASSERT_TRUE(t);
        EXPECT_EQ(CellText(*t, t->GetRows().Count(), 5), c.fee);
        t->Delete();  // the next case starts without an earlier table
    }
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

}  // namespace
}  // namespace category_test
