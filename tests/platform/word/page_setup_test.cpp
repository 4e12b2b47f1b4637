// Page margins and the default font: what a save writes, what a load reads
// back, and that a document nobody edited keeps its section and styles.
#include <gtest/gtest.h>

#include <string>

#include "docstate.h"
#include "platform/word/package.h"
#include "platform/word/word.h"

namespace kado::word {
namespace {

std::string Part(const std::string& docx, const char* name) { return pkg::Package::FromBytes(docx).Read(name); }

// A package of another writer: a section with a header reference and no
// margins, styles with theme fonts and a style of their own.
std::string Foreign() {
    auto p = pkg::Package::Empty();
    p.Write("[Content_Types].xml",
            R"(<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
            R"(<Default Extension="xml" ContentType="application/xml"/></Types>)");
    p.Write("_rels/.rels",
            R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
            R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/></Relationships>)");
    p.Write("word/_rels/document.xml.rels",
            R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
            R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/></Relationships>)");
    p.Write("word/styles.xml",
            R"(<?xml version="1.0"?><w:styles xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
            R"(<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:asciiTheme="minorHAnsi" w:hAnsiTheme="minorHAnsi"/><w:lang w:val="de-DE"/></w:rPr></w:rPrDefault></w:docDefaults>)"
            R"(<w:style w:type="paragraph" w:styleId="Brief"><w:name w:val="Brief"/></w:style></w:styles>)");
    p.Write("word/document.xml",
            R"(<?xml version="1.0"?><w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" )"
            R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><w:body>)"
            R"(<w:p><w:r><w:t>Brief</w:t></w:r></w:p>)"
            R"(<w:sectPr><w:headerReference w:type="default" r:id="rId7"/><w:pgSz w:w="11906" w:h="16838"/><w:cols w:space="708"/></w:sectPr>)"
            R"(</w:body></w:document>)");
    return p.ToBytes();
}

TEST(PageSetup, MarginsAndDefaultFontComeBackFromTheSavedFile) {
    auto doc = Document::New();
    doc->GetPageSetup().SetLeftMargin(56.7f);
    doc->GetPageSetup().SetRightMargin(42.5f);
    doc->GetDefaultFont().SetName("Liberation Sans");
    doc->GetDefaultFont().SetSize(9.5f);
    // Tables added later share the new text width.
    auto t = doc->GetTables().Add(doc->Content(), 1, 2);
    EXPECT_NEAR(t.GetCell(1, 1).Width() * 2, 595.3f - 56.7f - 42.5f, 0.1f);

    const std::string once = doc->ToBytes();
    auto back = Document::FromBytes(once);
    EXPECT_FLOAT_EQ(back->GetPageSetup().LeftMargin(), 56.7f);
    EXPECT_FLOAT_EQ(back->GetPageSetup().RightMargin(), 42.5f);
    EXPECT_FLOAT_EQ(back->GetPageSetup().PageWidth(), 595.3f);
    EXPECT_FLOAT_EQ(back->GetPageSetup().PageHeight(), 841.9f);
    EXPECT_EQ(back->GetDefaultFont().Name(), "Liberation Sans");
    EXPECT_FLOAT_EQ(back->GetDefaultFont().Size(), 9.5f);
    EXPECT_FLOAT_EQ(back->GetRange(0, 0).GetFont().Size(), 9.5f);
    EXPECT_EQ(back->ToBytes(), Document::FromBytes(back->ToBytes())->ToBytes());
}

TEST(PageSetup, AForeignDocumentKeepsItsSectionAndStylesBesideWhatWasEdited) {
    const std::string original = Foreign();
    auto doc = Document::FromBytes(original);
    EXPECT_EQ(doc->GetDefaultFont().Name(), "");  // theme fonts only
    EXPECT_EQ(Part(doc->ToBytes(), "word/styles.xml"), Part(original, "word/styles.xml"));
    doc->GetPageSetup().SetLeftMargin(56.7f);
    doc->GetDefaultFont().SetName("Arial");
    doc->GetDefaultFont().SetSize(9);
    const std::string saved = doc->ToBytes();
    const std::string xml = Part(saved, "word/document.xml");
    // The margins go after the page size, before the columns; the header stays.
    EXPECT_NE(xml.find(R"(<w:sectPr><w:headerReference w:type="default" r:id="rId7"/><w:pgSz w:w="11906" w:h="16838"/>)"
                       R"(<w:pgMar w:left="1134" w:right="0"/><w:cols w:space="708"/></w:sectPr>)"),
              std::string::npos)
        << xml;
    const std::string styles = Part(saved, "word/styles.xml");
    EXPECT_EQ(styles.find("Theme"), std::string::npos) << styles;
    EXPECT_NE(styles.find(R"(w:ascii="Arial")"), std::string::npos) << styles;
    EXPECT_NE(styles.find(R"(<w:sz w:val="18"/><w:szCs w:val="18"/><w:lang w:val="de-DE"/>)"), std::string::npos) << styles;
    EXPECT_NE(styles.find(R"(w:styleId="Brief")"), std::string::npos);
    auto back = Document::FromBytes(saved);
    EXPECT_EQ(back->GetDefaultFont().Name(), "Arial");
    EXPECT_FLOAT_EQ(back->GetDefaultFont().Size(), 9);
    EXPECT_FLOAT_EQ(back->GetPageSetup().LeftMargin(), 56.7f);
}

TEST(PageSetup, RefusesWhatNoPageHolds) {
    const struct {
        const char* what;
        void (*edit)(Document&);
    } cases[] = {
        {"margin wider than any page", [](Document& d) { d.GetPageSetup().SetRightMargin(2000); }},
        {"no text area left", [](Document& d) { d.GetPageSetup().SetLeftMargin(520); }},
        {"font size below 1 pt", [](Document& d) { d.GetDefaultFont().SetSize(0.5f); }},
    };
    for (const auto& c : cases) {
        auto doc = Document::New();
        const std::string before = doc->ToBytes();
        try {
            c.edit(*doc);
            ADD_FAILURE() << c.what << " accepted";
        } catch (const com::Error& e) {
            EXPECT_EQ(e.Number(), err::ValueOutOfRange.number) << c.what;
        }
        EXPECT_EQ(doc->ToBytes(), before) << c.what << " changed the document";
    }
}

}  // namespace
}  // namespace kado::word
