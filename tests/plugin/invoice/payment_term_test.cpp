// ZahlungsZiel on real documents and a real host database: the due date from
// the template and the invoice date, the box's place and format, removal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "invoice_fixture.h"
#include "platform/com/variant.h"
#include "plugin/invoice/payment_term.h"

namespace {

using namespace kado::word;
using kado::com::Date;
using kado::com::Variant;

class PaymentTerm : public invoice_test::InvoiceTest {
protected:
    void SetVersion(const std::string& templateText, const std::string& gutter = "0", const std::string& font = "NULL") {
        db_->Execute("DELETE FROM Version");
        db_->Execute("INSERT INTO Version (Zahlungsziel, AbstandZahlungsziel, BundZahlungsziel, FontZahlungsZiel) "
                     "VALUES ('" + templateText + "', 25.5, " + gutter + ", " + font + ")");
    }
    // Invoice 5 becomes the session's current invoice, with or without its date record.
    void SetInvoiceRecord(const char* date) {
        db_->Execute("INSERT INTO Rechnung (ID_Rechnungsnummer, Rechnungsnummer) VALUES (5, 'RE-5')");
        db_->Execute("INSERT INTO Rechnung (ID_Rechnungsnummer, Rechnungsnummer) VALUES (6, 'RE-6')");
        db_->Execute("INSERT INTO Termine (ID_Terminart, ID_Rechnungsnummer, Datum) VALUES (8, 6, '2020-01-01')");
        db_->Execute("INSERT INTO Termine (ID_Terminart, ID_Rechnungsnummer, Datum) VALUES (3, 5, '2019-01-01')");
        if (date)
            db_->Execute(std::string("INSERT INTO Termine (ID_Terminart, ID_Rechnungsnummer, Datum) VALUES (8, 5, '") +
                         date + "')");
        honora::Session().Rechnung = db_->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = 5");
    }
    std::vector<Shape> Named(const std::string& name) const {
        std::vector<Shape> found;
        auto shapes = honora::Session().Doc->GetShapes();
        for (int i = 1; i <= shapes.Count(); ++i)
            if (shapes.Item(i).Name() == name) found.push_back(shapes.Item(i));
        return found;
    }
    void Run(bool flag) { honora::ZahlungsZiel(honora::Session().Doc, flag); }
    Shape OnlyBox() const {
        auto boxes = Named("Zahlungsziel");
        if (boxes.size() != 1) throw std::runtime_error("expected one box, found " + std::to_string(boxes.size()));
        return boxes.front();
    }
};

std::string DateText(Date d) { return Variant(d).ToString(); }
Date Plus(Date d, int days) { return Date{d.serial + days}; }

TEST_F(PaymentTerm, TextWithDueDate) {
    struct Case {
        const char* name;
        const char* templateText;
        std::optional<const char*> dueDate;  // nullopt: no current invoice
        std::string expected;
    };
    const std::string todayPlus14 = DateText(Plus(Date::Today(), 14));
    const std::vector<Case> cases = {
        {"invoice date plus 14", "Zahlbar bis <14> ohne Abzug.", "2013-03-01", "Zahlbar bis  15.03.2013  ohne Abzug."},
        {"invoice date plus 30 over a month end", "Fällig am <30>.", "2013-03-01", "Fällig am  31.03.2013 ."},
        {"across the year end", "<30> netto", "2012-12-15", " 14.01.2013  netto"},
        {"no current invoice: today", "Zahlbar bis <14> ohne Abzug.", std::nullopt,
         "Zahlbar bis  " + todayPlus14 + "  ohne Abzug."},
        {"invoice without date record: today, no time", "Zahlbar bis <14> ohne Abzug.", nullptr,
         "Zahlbar bis  " + todayPlus14 + "  ohne Abzug."},
        {"only three digits count", "bis <1234> x", "2013-03-01", "bis  02.07.2013  x"},
        {"blank before the days", "bis < 7> x", "2013-03-01", "bis  08.03.2013  x"},
        {"no number gives the date itself", "bis <> x", "2013-03-01", "bis  01.03.2013  x"},
        {"no closing bracket: text after the days", "Zahlbar bis <14 Tage netto", "2013-03-01",
         "Zahlbar bis  15.03.2013  Tage netto"},
        {"closing bracket only before the opening one", "a>b <10>", "2013-03-01", "a>b  11.03.2013 "},
        {"no opening bracket: unchanged", "Zahlbar sofort > ohne Abzug.", "2013-03-01", "Zahlbar sofort > ohne Abzug."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        honora::ResetSession();
        honora::Session().NeueAbfrage = db_;
        honora::Session().Doc = Document::New();
        db_->Execute("DELETE FROM Termine");
        db_->Execute("DELETE FROM Rechnung");
        SetVersion(c.templateText);
        if (c.dueDate) SetInvoiceRecord(*c.dueDate);
        Run(true);
        auto box = OnlyBox();
        EXPECT_EQ(box.GetTextFrame().TextRange().Text(), c.expected);
    }
    EXPECT_THAT(LoggedPlaces(), ::testing::IsEmpty());
}

TEST_F(PaymentTerm, PlaceAndLookOfTheBox) {
    SetVersion("Zahlbar bis <14> ohne Abzug.");
    Run(true);
    auto box = OnlyBox();
    EXPECT_FLOAT_EQ(box.Left(), 70.5f);
    EXPECT_FLOAT_EQ(box.Width(), 450.75f);
    EXPECT_FLOAT_EQ(box.Height(), 54.0f);
    EXPECT_EQ(box.GetRelativeVerticalPosition(), RelativeVerticalPosition::Page);
    EXPECT_FLOAT_EQ(box.Top(), 25.5f * 72.0f / 2.54f);
    EXPECT_FALSE(box.Fill().Visible());
    EXPECT_FLOAT_EQ(box.Fill().Transparency(), 1.0f);
    EXPECT_FALSE(box.Line().Visible());
    // No text of the invoice runs under the box.
    EXPECT_EQ(box.GetWrapType(), WrapType::TopBottom);
    EXPECT_EQ(honora::Session().Doc->Content().Text(), "\r");  // nothing typed into the body

    // The box and its text survive saving.
    auto reread = Document::FromBytes(honora::Session().Doc->ToBytes());
    ASSERT_EQ(reread->GetShapes().Count(), 1);
    EXPECT_EQ(reread->GetShapes().Item(1).Name(), "Zahlungsziel");
    EXPECT_EQ(reread->GetShapes().Item(1).GetWrapType(), WrapType::TopBottom);
    EXPECT_EQ(reread->GetShapes().Item(1).GetTextFrame().TextRange().Text(),
              "Zahlbar bis  " + DateText(Plus(Date::Today(), 14)) + "  ohne Abzug.");
}

TEST_F(PaymentTerm, AlignmentAndFontSizeFromVersion) {
    struct Case {
        const char* gutter;
        const char* font;
        Alignment alignment;
        std::optional<float> size;  // nullopt: the document's own size
    };
    const float standard = Document::New()->Content().GetFont().Size();
    for (const Case& c : {Case{"0", "NULL", Alignment::Left, std::nullopt}, Case{"1", "8", Alignment::Center, 8.0f},
                          Case{"2", "8", Alignment::Right, 8.0f}, Case{"5", "14", Alignment::Right, 14.0f},
                          Case{"-1", "NULL", Alignment::Right, std::nullopt}}) {
        SCOPED_TRACE(std::string("Bund ") + c.gutter + ", Font " + c.font);
        honora::Session().Doc = Document::New();
        SetVersion("Zahlbar bis <14> ohne Abzug.", c.gutter, c.font);
        Run(true);
        auto text = OnlyBox().GetTextFrame().TextRange();
        EXPECT_EQ(text.GetParagraphFormat().GetAlignment(), c.alignment);
        EXPECT_FLOAT_EQ(text.GetFont().Size(), c.size.value_or(standard));
    }
}

TEST_F(PaymentTerm, OldBoxesGoAndFlagFalseAddsNothing) {
    auto shapes = honora::Session().Doc->GetShapes();
    for (const char* name : {"Zahlungsziel", "Logo", "Zahlungsziel", "Zahlungsziel"})
        shapes.AddTextbox(TextOrientation::Horizontal, 0, 10, 100, 20).SetName(name);
    SetVersion("Zahlbar bis <14> ohne Abzug.");

    Run(false);
    EXPECT_TRUE(Named("Zahlungsziel").empty());
    ASSERT_EQ(shapes.Count(), 1);
    EXPECT_EQ(shapes.Item(1).Name(), "Logo");

    for (int i = 0; i < 2; ++i) shapes.AddTextbox(TextOrientation::Horizontal, 0, 10, 100, 20).SetName("Zahlungsziel");
    Run(true);
    Run(true);  // a second run replaces the box instead of adding one
    EXPECT_EQ(Named("Zahlungsziel").size(), 1u);
    EXPECT_EQ(Named("Logo").size(), 1u);
    EXPECT_THAT(LoggedPlaces(), ::testing::IsEmpty());
}

TEST_F(PaymentTerm, EmptyVersionStillAddsNamedBoxWithEmptyText) {
    Run(true);
    auto box = OnlyBox();
    EXPECT_EQ(box.GetTextFrame().TextRange().Text(), "");
    EXPECT_FLOAT_EQ(box.Top(), 766.5f);  // the distance could not be read
    auto logged = LoggedPlaces();
    EXPECT_GE(logged.size(), 4u);  // MoveFirst and each field read
    EXPECT_THAT(logged, ::testing::Each(std::string("GebührenTabelle.ZahlungsZiel")));
}

}  // namespace
