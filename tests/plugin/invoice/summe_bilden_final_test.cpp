// SummeBilden against a real host database: the final-invoice block with
// advance invoices deducted, the write-back in cents and the payment term.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "invoice_fixture.h"
#include "platform/com/variant.h"
#include "plugin/invoice/summe_bilden.h"

namespace {

using namespace kado::word;
using invoice_test::Amount;
using invoice_test::CellText;
using invoice_test::FeeRow;
using invoice_test::TableTexts;
using Rows = std::vector<std::vector<std::string>>;

class FinalInvoice : public invoice_test::TotalsTest {
protected:
    // Invoice 10 of order 77 of the given kind becomes the session's invoice.
    void Invoice(int kind) {
        db_->Execute("INSERT INTO Rechnung (ID_Rechnungsnummer, Rechnungsnummer, ID_Auftragsnummer, Rechnungsart) "
                     "VALUES (10, 'SR-10', 77, " + std::to_string(kind) + ")");
        honora::Session().Rechnung = db_->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = 10");
    }
    void Advance(int id, int order, const char* net, const char* vatFree, const char* gross, const char* date) {
        db_->Execute("INSERT INTO Rechnung (ID_Rechnungsnummer, Rechnungsnummer, ID_Auftragsnummer, Rechnungsart, "
                     "NettoRechnung, MehrwertsteuerFreierbetrag, Brutto) VALUES (" + std::to_string(id) + ", 'AR-" +
                     std::to_string(id) + "', " + std::to_string(order) + ", 5, " + net + ", " + vatFree + ", " + gross + ")");
        if (date)
            db_->Execute("INSERT INTO Termine (ID_Terminart, ID_Rechnungsnummer, Datum) VALUES (8, " + std::to_string(id) +
                         ", '" + date + "')");
    }
    struct Stored {
        double net, gross, vatFree;
        int rate;
    };
    Stored Record() {
        auto rs = db_->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = 10");
        return {rs->Field("NettoRechnung").ToDouble(), rs->Field("Brutto").ToDouble(),
                rs->Field("MehrwertsteuerFreierbetrag").ToDouble(), rs->Field("Mehrwertsteuersatz").ToLong()};
    }
    Table SumTable() {
        for (int i = 1; i <= Doc().GetTables().Count(); ++i) {
            auto t = Doc().GetTables().Item(i);
            if (t.GetColumns().Count() == 4 && CellText(t, 1, 2) == "Summe") return t;
        }
        throw std::runtime_error("no totals table");
    }
};

TEST_F(FinalInvoice, OneAdvanceInvoiceDeducted) {
    auto marker = Doc().Content();
    marker.Collapse(CollapseDirection::Start);
    Doc().GetComments().Add(marker, "kadoGesamt");
    invoice_test::AddFeeTable(Doc(), {{"3.000,00", std::nullopt}});
    Invoice(4);
    Advance(11, 77, "100000", "0", "119000", "2013-03-01");
    Advance(12, 78, "50000", "0", "59500", "2013-04-01");  // another order
    honora::SummeBilden(false);

    auto t = SumTable();
    const Rows expected = {
        {" \x05", "Summe", "", Amount("3.000,00")},
        {"", "Mehrwertsteuer 19 %", Amount("3.000,00"), Amount("570,00")},
        {"", "", "", ""},
        {"", "Gesamtsumme", "", Amount("3.570,00")},
        {"", "", "", ""},
        {"", "Entgeld", "Umsatzsteuer", "Summe"},
        {"", Amount("3.000,00"), Amount("570,00"), Amount("3.570,00")},
        {"abzgl. Anzahlungen", "", "", ""},
        {"Rechnung Nr. AR-11 vom 01.03.2013", Amount("1.000,00"), Amount("190,00"), Amount("1.190,00")},
        {"Rechnungsbetrag", Amount("2.000,00"), Amount("380,00"), Amount("2.380,00")},
        {"", "", "", ""},
    };
    EXPECT_EQ(TableTexts(t), expected);
    EXPECT_EQ(Amount("3.570,00"), "   3570,00 €");
    EXPECT_TRUE(t.GetCell(4, 2).GetRange().Bold());
    for (int col = 1; col <= 4; ++col) EXPECT_TRUE(t.GetCell(10, col).GetRange().Bold()) << col;
    EXPECT_FALSE(t.GetCell(9, 1).GetRange().Bold());
    // The deduction row's first cell is wide enough for number and date.
    EXPECT_FLOAT_EQ(t.GetCell(9, 1).Width(), 9.0f * 72.0f / 2.54f);
    EXPECT_FLOAT_EQ(t.GetCell(9, 2).Width(), 3.0f * 72.0f / 2.54f);
    EXPECT_FLOAT_EQ(t.GetCell(10, 1).Width(), 4.0f * 72.0f / 2.54f);

    // The text field shows the undeducted gross; the record what remains due.
    EXPECT_EQ(Doc().GetRange(0, 14).Text(), "\x05" + Amount("3.570,00") + " ");
    const auto r = Record();
    EXPECT_EQ(r.net, 200000);
    EXPECT_EQ(r.gross, 238000);
    EXPECT_EQ(r.vatFree, 0);
    EXPECT_EQ(r.rate, 190);
    EXPECT_THAT(LoggedPlaces(), ::testing::IsEmpty());
}

TEST_F(FinalInvoice, BlockFollowsTheTableForAnyNumberOfRates) {
    struct Case {
        const char* name;
        std::vector<FeeRow> fees;
        Rows vatLines;
        std::string net, vat, gross;  // the invoice's own figures in the block
        std::string dueNet, dueVat, dueGross;
    };
    const std::vector<Case> cases = {
        {"no taxed fee", {{"1.000,00", std::string("0")}}, {},
         Amount("1.000,00"), Amount("0,00"), Amount("1.000,00"),
         Amount("0,00"), Amount("-190,00"), Amount("-190,00")},
        {"two rates", {{"3.000,00", std::nullopt}, {"1.000,00", std::string("7")}},
         {{"Mehrwertsteuer 19 %", Amount("3.000,00"), Amount("570,00")},
          {"Mehrwertsteuer 7 %", Amount("1.000,00"), Amount("70,00")}},
         Amount("4.000,00"), Amount("640,00"), Amount("4.640,00"),
         Amount("3.000,00"), Amount("450,00"), Amount("3.450,00")},
        {"three rates", {{"3.000,00", std::nullopt}, {"1.000,00", std::string("7")}, {"500,00", std::string("16")}},
         {{"Mehrwertsteuer 19 %", Amount("3.000,00"), Amount("570,00")},
          {"Mehrwertsteuer 7 %", Amount("1.000,00"), Amount("70,00")},
          {"Mehrwertsteuer 16 %", Amount("500,00"), Amount("80,00")}},
         Amount("4.500,00"), Amount("720,00"), Amount("5.220,00"),
         Amount("3.500,00"), Amount("530,00"), Amount("4.030,00")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto& s = honora::Session();
        s.Doc = Document::New(s.WordApp);
        db_->Execute("DELETE FROM Rechnung");
        db_->Execute("DELETE FROM Termine");
        invoice_test::AddFeeTable(Doc(), c.fees);
        Invoice(4);
        Advance(11, 77, "100000", "0", "119000", "2013-03-01");
        honora::SummeBilden(false);

        auto t = SumTable();
        const int k = static_cast<int>(c.vatLines.size());
        const int last = 3 + k;
        Rows rows = TableTexts(t);
        ASSERT_EQ(rows.size(), static_cast<size_t>(last + 7));
        Rows vat(rows.begin() + 1, rows.begin() + 1 + k);
        Rows expectedVat;
        for (const auto& l : c.vatLines) expectedVat.push_back({"", l[0], l[1], l[2]});
        EXPECT_EQ(vat, expectedVat);
        const Rows block(rows.begin() + last - 2, rows.end());
        const Rows expected = {
            {"", "", "", ""},
            {"", "Gesamtsumme", "", c.gross},
            {"", "", "", ""},
            {"", "Entgeld", "Umsatzsteuer", "Summe"},
            {"", c.net, c.vat, c.gross},
            {"abzgl. Anzahlungen", "", "", ""},
            {"Rechnung Nr. AR-11 vom 01.03.2013", Amount("1.000,00"), Amount("190,00"), Amount("1.190,00")},
            {"Rechnungsbetrag", c.dueNet, c.dueVat, c.dueGross},
            {"", "", "", ""},
        };
        EXPECT_EQ(block, expected);
        EXPECT_FLOAT_EQ(t.GetRows().Item(last - 1).Height(), 6.0f);
    }
    EXPECT_THAT(LoggedPlaces(), ::testing::IsEmpty());
}

TEST_F(FinalInvoice, TwoAdvanceInvoicesOneWithoutDate) {
    invoice_test::AddFeeTable(Doc(), {{"3.000,00", std::nullopt}});
    Invoice(4);
    Advance(11, 77, "100000", "0", "119000", "2013-03-01");
    Advance(12, 77, "40000", "10000", "57600", nullptr);
    honora::SummeBilden(false);

    auto rows = TableTexts(SumTable());
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(rows[8], (std::vector<std::string>{"Rechnung Nr. AR-11 vom 01.03.2013", Amount("1.000,00"),
                                                 Amount("190,00"), Amount("1.190,00")}));
    EXPECT_EQ(rows[9], (std::vector<std::string>{"Rechnung Nr. AR-12", Amount("500,00"), Amount("76,00"),
                                                 Amount("576,00")}));
    EXPECT_EQ(rows[10], (std::vector<std::string>{"Rechnungsbetrag", Amount("1.500,00"), Amount("304,00"),
                                                  Amount("1.804,00")}));
    const auto r = Record();
    EXPECT_EQ(r.net, 150000);
    EXPECT_EQ(r.gross, 180400);
    EXPECT_EQ(r.vatFree, 0);
    // The missing date is logged once; nothing else failed.
    EXPECT_THAT(LoggedPlaces(), ::testing::ElementsAre("GebührenTabelle.SummeBilden"));
}

TEST_F(FinalInvoice, WithoutAdvanceInvoicesTheTableStaysPlain) {
    invoice_test::AddFeeTable(Doc(), {{"100,00", std::nullopt}});
    Invoice(4);
    Advance(12, 78, "50000", "0", "59500", "2013-04-01");
    honora::SummeBilden(false);
    auto rows = TableTexts(SumTable());
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[3][1], "Rechnungsbetrag");
    EXPECT_EQ(Record().gross, 11900);
    EXPECT_THAT(LoggedPlaces(), ::testing::IsEmpty());
}

TEST_F(FinalInvoice, WriteBackInWholeCents) {
    struct Case {
        const char* name;
        int kind;
        std::string fee;
        int16_t percent;
        Stored expected;
    };
    // Each invoice also has 5,00 free of VAT.
    const std::vector<Case> cases = {
        {"plain invoice", 1, "100,00", 100, {10000, 12400, 500, 190}},
        {"kind 7 is written negated", 7, "100,00", 100, {-10000, -12400, -500, 190}},
        // 30 % of 10,15 taxed is 3,045: half a cent, rounded away from zero.
        {"rounded to cents", 1, "10,15", 30, {305, 512, 150, 190}},
        {"rounded to cents, negated", 7, "10,15", 30, {-305, -512, -150, 190}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto& s = honora::Session();
        s.Doc = Document::New(s.WordApp);
        s.AbschlagProzent = c.percent;
        db_->Execute("DELETE FROM Rechnung");
        invoice_test::AddFeeTable(Doc(), {{c.fee, std::nullopt}, {"5,00", std::string("0")}});
        Invoice(c.kind);
        honora::SummeBilden(false);
        const auto r = Record();
        EXPECT_EQ(r.net, c.expected.net);
        EXPECT_EQ(r.gross, c.expected.gross);
        EXPECT_EQ(r.vatFree, c.expected.vatFree);
        EXPECT_EQ(r.rate, c.expected.rate);
    }
    EXPECT_THAT(LoggedPlaces(), ::testing::IsEmpty());
}

TEST_F(FinalInvoice, PaymentTermOfAnInvoiceWithoutDateRecord) {
    db_->Execute("INSERT INTO Version (Zahlungsziel, AbstandZahlungsziel, BundZahlungsziel, FontZahlungsZiel) "
                 "VALUES ('Zahlbar bis <14> ohne Abzug.', 25, 0, NULL)");
    invoice_test::AddFeeTable(Doc(), {{"100,00", std::nullopt}});
    Invoice(1);
    honora::SummeBilden(true);
    ASSERT_EQ(Doc().GetShapes().Count(), 1);
    const auto due = kado::com::Variant(kado::com::Date{kado::com::Date::Today().serial + 14}).ToString();
    EXPECT_EQ(Doc().GetShapes().Item(1).GetTextFrame().TextRange().Text(), "Zahlbar bis  " + due + "  ohne Abzug.");
    EXPECT_EQ(due.find(':'), std::string::npos);
    EXPECT_THAT(LoggedPlaces(), ::testing::IsEmpty());
}

}  // namespace
