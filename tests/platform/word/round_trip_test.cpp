// Saving what was loaded changes nothing: a saved document loaded and saved
// again gives the same parts, and each comment keeps one reference mark.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "platform/word/lo_support.h"
#include "platform/word/package.h"
#include "platform/word/word.h"
#include "support/temp_dir.h"

namespace kado::word {
namespace {

using test::LoConvert;
using test::ReadAll;
using test::WriteAll;

std::string Part(const std::string& docx, const std::string& name) {
    auto p = pkg::Package::FromBytes(docx);
    return p.Has(name) ? p.Read(name) : std::string();
}
size_t Count(const std::string& s, const std::string& what) {
    size_t n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
    return n;
}
std::string Fixture() { return ReadAll(std::filesystem::path(KADO_SOURCE_DIR) / "tests/platform/word/fixtures/lo_invoice.docx"); }

// An invoice as the plug-in leaves it: a marked table, cell comments, a point
// comment in the text and a text box.
std::string Invoice() {
    auto doc = Document::FromBytes(Fixture());
    auto end = doc->Content();
    end.Collapse(CollapseDirection::End);
    Table t = doc->GetTables().Add(end, 3, 5);
    for (int r = 1; r <= 3; ++r) {
        t.GetCell(r, 5).GetRange().InsertAfter("150,00 €");
        doc->GetComments().Add(t.GetCell(r, 5).GetRange(), "no");
    }
    t.GetCell(1, 1).GetRange().SetBold(true);
    t.GetRows().Item(1).SetHeight(14, HeightRule::Exactly);
    t.GetRows().SetAllowBreakAcrossPages(false);
    t.GetRows().Item(1).GetRange().GetParagraphFormat().SetKeepWithNext(true);
    doc->GetComments().Add(t.GetCell(1, 5).GetRange(), "Honora_5");
    doc->GetComments().Add(doc->GetRange(3, 3), "kadoGesamt");
    Shape s = doc->GetShapes().AddTextbox(TextOrientation::Horizontal, 20, 600, 200, 50);
    s.SetName("Zahlungsziel");
    s.GetTextFrame().TextRange().InsertBefore("Zahlbar bis 1.1.2027 ohne Abzug.");
    return doc->ToBytes();
}

// A save of the earlier version: every round trip had added one more
// reference mark run to each comment's text.
std::string WithRepeatedReferenceMarks(const std::string& docx) {
    auto p = pkg::Package::FromBytes(docx);
    std::string c = p.Read("word/comments.xml");
    c = std::regex_replace(c, std::regex("<w:r><w:annotationRef/></w:r>"),
                           "<w:r><w:annotationRef/></w:r><w:r><w:annotationRef/></w:r><w:r><w:annotationRef/></w:r>");
    p.Write("word/comments.xml", c);
    return p.ToBytes();
}

void ExpectStable(const std::string& source, const std::string& what) {
    const std::string once = Document::FromBytes(source)->ToBytes();
    const std::string twice = Document::FromBytes(once)->ToBytes();
    for (const char* part : {"word/document.xml", "word/comments.xml"})
        EXPECT_EQ(Part(twice, part), Part(once, part)) << what << ": " << part;
    const std::string comments = Part(once, "word/comments.xml");
    EXPECT_EQ(Count(comments, "<w:annotationRef/>"), Count(comments, "<w:comment ")) << what;
    EXPECT_EQ(Document::FromBytes(twice)->Content().Text(), Document::FromBytes(source)->Content().Text()) << what;
}

TEST(RoundTrip, SavingASavedDocumentAgainGivesTheSameParts) {
    const std::string invoice = Invoice();
    const struct {
        const char* what;
        std::string docx;
    } cases[] = {
        {"written by LibreOffice", Fixture()},
        {"an invoice we wrote", invoice},
        {"an invoice with repeated reference marks", WithRepeatedReferenceMarks(invoice)},
    };
    for (const auto& c : cases) ExpectStable(c.docx, c.what);
}

TEST(RoundTrip, RepeatedReferenceMarksHealOnTheNextSave) {
    const std::string old = WithRepeatedReferenceMarks(Invoice());
    auto doc = Document::FromBytes(old);
    ASSERT_EQ(doc->GetComments().Count(), 5);
    EXPECT_EQ(doc->GetComments().Item(1).Text(), "kadoGesamt");
    const std::string comments = Part(doc->ToBytes(), "word/comments.xml");
    EXPECT_EQ(Count(comments, "<w:annotationRef/>"), 5u);
}

// LibreOffice writes its comments without a reference mark run and with run
// properties of its own; our first save adds the mark once.
TEST(RoundTrip, CommentsWrittenByLibreOfficeStayAsTheyAre) {
    kado::testing::TempDir tmp("kado-round-trip-lo");
    const auto& dir = tmp.Path();
    WriteAll(dir / "ours.docx", Invoice());
    const auto theirs = LoConvert(dir / "ours.docx", "docx:\"MS Word 2007 XML\"", dir / "");
    if (theirs.empty()) GTEST_SKIP() << "soffice could not convert: " << ReadAll(dir / "soffice.log");
    const std::string lo = ReadAll(theirs);
    ASSERT_GE(Count(Part(lo, "word/comments.xml"), "<w:comment "), 5u);
    ExpectStable(lo, "comments written by LibreOffice");
    auto doc = Document::FromBytes(lo);
    std::string texts;
    for (int i = 1; i <= doc->GetComments().Count(); ++i) texts += doc->GetComments().Item(i).Text() + "|";
    EXPECT_NE(texts.find("Honora_5|"), std::string::npos) << texts;
    EXPECT_NE(texts.find("kadoGesamt|"), std::string::npos) << texts;
    if (HasFailure()) tmp.Keep();
}

}  // namespace
}  // namespace kado::word
