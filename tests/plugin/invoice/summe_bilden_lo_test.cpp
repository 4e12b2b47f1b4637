// A finished invoice saved as DOCX and read by LibreOffice: the totals table
// and the payment-term text box come through to an independent reader.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "invoice_fixture.h"
#include "platform/com/variant.h"
#include "platform/word/lo_support.h"
#include "plugin/invoice/summe_bilden.h"
#include "support/temp_dir.h"

namespace {

using namespace kado::word;
using invoice_test::Amount;

class InvoiceLibreOffice : public invoice_test::InvoiceTest {};

// Blanks and line breaks in LibreOffice's output may differ from ours; compare without them.
std::string WithoutBlanks(std::string s) {
    std::erase_if(s, [](char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r'; });
    return s;
}

// The character content of an XML stretch that starts inside a tag.
std::string WithoutTags(const std::string& xml) {
    std::string out;
    bool inTag = true;
    for (char ch : xml) {
        if (ch == '<') inTag = true;
        else if (ch == '>') inTag = false;
        else if (!inTag) out += ch;
    }
    return out;
}

TEST_F(InvoiceLibreOffice, FinishedInvoiceOpensWithTotalsAndPaymentTerm) {
    if (std::system("command -v soffice > /dev/null 2>&1") != 0) GTEST_SKIP() << "soffice is not installed";
    auto& c = honora::Session();
    c.Mehrwertsteuersatz = 19;
    c.AbschlagProzent = 100;
    db_->Execute("INSERT INTO Version (Zahlungsziel, AbstandZahlungsziel, BundZahlungsziel, FontZahlungsZiel) "
                 "VALUES ('Zahlbar bis <14> ohne Abzug.', 25, 0, 10)");
    db_->Execute("INSERT INTO Rechnung (ID_Rechnungsnummer, Rechnungsnummer, ID_Auftragsnummer, Rechnungsart) "
                 "VALUES (10, 'SR-10', 77, 4)");
    db_->Execute("INSERT INTO Rechnung (ID_Rechnungsnummer, Rechnungsnummer, ID_Auftragsnummer, Rechnungsart, "
                 "NettoRechnung, MehrwertsteuerFreierbetrag, Brutto) VALUES (11, 'AR-11', 77, 5, 5000, 0, 5950)");
    db_->Execute("INSERT INTO Termine (ID_Terminart, ID_Rechnungsnummer, Datum) VALUES (8, 10, '2013-03-01')");
    db_->Execute("INSERT INTO Termine (ID_Terminart, ID_Rechnungsnummer, Datum) VALUES (8, 11, '2013-02-01')");
    c.Rechnung = db_->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = 10");

    auto& doc = *c.Doc;
    doc.Content().InsertAfter("Honorarrechnung Nr. SR-10, Betrag ");
    auto at = doc.GetRange(doc.Content().End() - 1, doc.Content().End() - 1);
    doc.GetComments().Add(at, "kadoGesamt");
    invoice_test::AddFeeTable(doc, {{"Gebühr [€]", std::string("no")}, {"100,00", std::nullopt}, {"50,00", std::nullopt}});
    honora::SummeBilden(true);

    kado::testing::TempDir tmp("kado-totals-lo");
    const auto& dir = tmp.Path();
    doc.SaveAs(dir / "rechnung.docx");
    const auto txt = kado::word::test::LoConvert(dir / "rechnung.docx", "txt:Text (encoded):UTF8", dir);
    ASSERT_FALSE(txt.empty()) << kado::word::test::ReadAll(dir / "soffice.log");
    const auto text = WithoutBlanks(kado::word::test::ReadAll(txt));

    const auto due = kado::com::Variant(kado::com::Date{kado::com::Date::FromYmd(2013, 3, 15)}).ToString();
    for (const std::string& expected :
         {std::string("Summe"), std::string("Mehrwertsteuer19%"), std::string("Rechnungsbetrag"),
          std::string("Gesamtsumme"), std::string("Entgeld"), std::string("abzgl.Anzahlungen"),
          std::string("RechnungNr.AR-11vom01.02.2013"), std::string("150,00€"), std::string("28,50€"),
          std::string("178,50€"), std::string("Betrag178,50€"),
          std::string("119,00€")})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n--- text:\n" << text;

    // The text export leaves drawings out; the shape comes through in LibreOffice's own format.
    const auto fodt = kado::word::test::LoConvert(dir / "rechnung.docx", "fodt", dir);
    ASSERT_FALSE(fodt.empty()) << kado::word::test::ReadAll(dir / "soffice.log");
    const auto xml = kado::word::test::ReadAll(fodt);
    const auto shape = xml.find("draw:name=\"Zahlungsziel\"");
    ASSERT_NE(shape, std::string::npos);
    const auto end = xml.find("</draw:", shape);
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(WithoutBlanks(WithoutTags(xml.substr(shape, end - shape))), "Zahlbarbis" + due + "ohneAbzug.");
}

}  // namespace
