// The amount fields of the invoice text: replaced in place when an old
// amount follows the marker, inserted in front of the text otherwise.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "invoice_fixture.h"
#include "plugin/invoice/summe_bilden.h"
#include "plugin/invoice/totals_removal.h"

namespace {

using namespace kado::word;
using invoice_test::Amount;
using invoice_test::FeeRow;

class AmountFields : public invoice_test::TotalsTest {
protected:
    // Writes a paragraph of text pieces and markers; a marker is a comment
    // whose reference goes where its name stands.
    void Paragraph(const std::vector<std::pair<std::string, std::string>>& pieces) {
        for (const auto& [text, marker] : pieces) {
            auto end = Doc().GetRange(Doc().Content().End() - 1, Doc().Content().End() - 1);
            end.InsertBefore(text);
            if (!marker.empty()) {
                auto at = Doc().GetRange(Doc().Content().End() - 1, Doc().Content().End() - 1);
                Doc().GetComments().Add(at, marker);
            }
        }
    }
    // The body text before the first table (the letter part).
    std::string Letter() {
        auto tables = Doc().GetTables();
        long end = tables.Count() > 0 ? tables.Item(1).GetRange().Start() : Doc().Content().End();
        return Doc().GetRange(0, end).Text();
    }
};

TEST_F(AmountFields, ReplacedInPlaceOrInsertedAtTheMarker) {
    struct Case {
        const char* name;
        std::string after;     // text after a "kadoGesamt" marker
        std::string expected;  // the same stretch after the run
    };
    const std::string due = Amount("178,50") + " ";
    const std::vector<Case> cases = {
        {"old amount replaced with its blank", Amount("99,00") + " zu zahlen.", due + "zu zahlen."},
        {"short old amount", "1,00 € zu zahlen.", due + "zu zahlen."},
        {"no amount yet: inserted in front", " zu zahlen.", due + " zu zahlen."},
        {"the euro sign too far away", "zu zahlen bis Ende Mai: 3 €", due + "zu zahlen bis Ende Mai: 3 €"},
        {"at the end of the text", "", due},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto& s = honora::Session();
        s.Doc = Document::New(s.WordApp);
        Paragraph({{"Betrag: ", "kadoGesamt"}, {c.after, ""}});
        invoice_test::AddFeeTable(Doc(), {{"100,00", std::nullopt}, {"50,00", std::nullopt}});
        honora::SummeBilden(false);
        EXPECT_EQ(Letter(), "Betrag: \x05" + c.expected + "\r");
    }
    EXPECT_THAT(LoggedPlaces(), ::testing::IsEmpty());
}

TEST_F(AmountFields, EveryKindOfFieldAndRepeatedRunsKeepOneAmount) {
    honora::Session().Rabatt = 10;
    Paragraph({{"G ", "kadoGesamt"}, {" N ", "kadoNetto"}, {" M ", "kadoMwSt"}, {" B ", "kadoBrutto"},
               {" A ", "kadoAuslagen"}, {" G2 ", "kadoGesamt"}, {".", ""}});
    invoice_test::AddFeeTable(Doc(), {{"100,00", std::nullopt}, {"100,00", std::string("0")}});
    // 10 % off 200,00: net 180,00, VAT 19 % of 90,00 = 17,10, VAT-free 90,00.
    const std::string expected = "G \x05" + Amount("197,10") + "  N \x05" + Amount("180,00") + "  M \x05" +
                                 Amount("17,10") + "  B \x05" + Amount("197,10") + "  A \x05" + Amount("90,00") +
                                 "  G2 \x05" + Amount("197,10") + " .\r";
    honora::SummeBilden(false);
    EXPECT_EQ(Letter(), expected);

    // The dialogs remove the totals table before every run; the fields are edited in place.
    honora::SummeLöschen();
    honora::SummeBilden(false);
    EXPECT_EQ(Letter(), expected);
    EXPECT_EQ(Doc().GetComments().Count(), 8);  // six fields, the fee cell's rate and RE_Summe
    EXPECT_THAT(LoggedPlaces(), ::testing::IsEmpty());
}

TEST_F(AmountFields, AdjacentMarkersSurvive) {
    // A field written right before the next marker: replacing its blank would
    // delete that marker; an amount behind the next marker is that one's.
    Paragraph({{"", "kadoNetto"}, {"", "kadoMwSt"}, {Amount("5,00"), ""}, {"", "kadoBrutto"}});
    invoice_test::AddFeeTable(Doc(), {{"100,00", std::nullopt}});
    honora::SummeBilden(false);
    honora::SummeLöschen();
    honora::SummeBilden(false);
    EXPECT_EQ(Doc().GetComments().Count(), 4);
    EXPECT_EQ(Letter(), "\x05" + Amount("100,00") + " \x05" + Amount("19,00") + " \x05" + Amount("119,00") + " \r");
    EXPECT_THAT(LoggedPlaces(), ::testing::IsEmpty());
}

}  // namespace
