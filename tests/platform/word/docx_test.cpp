// DOCX load and save: round trips through our own writer, preservation of
// what the engine does not model, hostile packages, and LibreOffice as reader.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <filesystem>
#include <string>

#include "body_split.h"
#include "docstate.h"
#include "docx_io.h"
#include "platform/word/lo_support.h"
#include "platform/word/package.h"
#include "platform/word/word.h"
#include "support/temp_dir.h"

namespace kado::word {
namespace {

using test::LoConvert;
using test::ReadAll;
using test::WriteAll;

std::shared_ptr<Document> Reload(const Document& d) { return Document::FromBytes(d.ToBytes()); }
std::string DocumentXml(const Document& d) { return pkg::Package::FromBytes(d.ToBytes()).Read("word/document.xml"); }
std::string WithDocumentXml(const std::string& xml) {
    auto p = pkg::Package::Empty();
    p.Write("word/document.xml", xml);
    return p.ToBytes();
}
long EndOfText(const Document& d) { return static_cast<long>(detail::Access::DocOf(d)->main.chars.size()) - 1; }

TEST(DocxSave, NewDocumentIsACompletePackage) {
    auto doc = Document::New();
    auto p = pkg::Package::FromBytes(doc->ToBytes());
    for (const char* part : {"[Content_Types].xml", "_rels/.rels", "word/document.xml", "word/_rels/document.xml.rels",
                             "word/styles.xml"})
        EXPECT_TRUE(p.Has(part)) << part;
    EXPECT_FALSE(p.Has("word/comments.xml"));
    const std::string xml = p.Read("word/document.xml");
    EXPECT_NE(xml.find("<w:pgSz w:w=\"11906\" w:h=\"16838\"/>"), std::string::npos);
    EXPECT_NE(xml.find("w:left=\"1417\""), std::string::npos);
    EXPECT_EQ(Reload(*doc)->Content().Text(), "\r");
}

TEST(DocxSave, TextAndFormatsComeBack) {
    struct Case {
        const char* text;
        bool bold;
        float size;
        Alignment align;
    } cases[] = {
        {"Honorarrechnung", true, 14, Alignment::Center},
        {"Betrag: 150,00 € & <mehr> \"zitiert\"", false, 9.5f, Alignment::Right},
        {"  Leerzeichen\tTab", false, 0, Alignment::Justify},
        {"Umlaute äöüß", true, 11, Alignment::Left},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto doc = Document::New();
        doc->GetRange(0, 0).InsertAfter(c.text);
        Range r = doc->GetRange(0, EndOfText(*doc));
        r.SetBold(c.bold);
        if (c.size > 0) r.GetFont().SetSize(c.size);
        r.GetParagraphFormat().SetAlignment(c.align);
        auto back = Reload(*doc);
        EXPECT_EQ(back->Content().Text(), doc->Content().Text());
        Range b = back->GetRange(0, EndOfText(*back));
        EXPECT_EQ(b.Bold(), c.bold);
        if (c.size > 0) {
            EXPECT_FLOAT_EQ(b.GetFont().Size(), c.size);
        }
        EXPECT_EQ(b.GetParagraphFormat().GetAlignment(), c.align);
    }
}

TEST(DocxSave, TableWithWidthsHeightsAndBorders) {
    auto doc = Document::New();
    Table t = doc->GetTables().Add(doc->GetRange(0, 0), 2, 3);
    t.GetCell(1, 1).GetRange().InsertBefore("Leistung");
    t.GetCell(2, 3).GetRange().InsertBefore("150,00 €");
    t.GetColumns().Item(1).SetWidth(200);
    t.GetCell(2, 2).SetWidth(50);  // row 2 differs from row 1: the grid needs both edges
    t.GetRows().Item(1).SetHeight(18, HeightRule::Exactly);
    t.Select();
    doc->GetApplication()->GetSelection().GetBorders().Item(BorderType::Top).SetLineStyle(LineStyle::Single);

    const std::string xml = DocumentXml(*doc);
    EXPECT_NE(xml.find("<w:trHeight w:val=\"360\" w:hRule=\"exact\"/>"), std::string::npos);
    EXPECT_NE(xml.find("<w:tblLayout w:type=\"fixed\"/>"), std::string::npos);
    EXPECT_NE(xml.find("<w:gridSpan"), std::string::npos);

    auto back = Reload(*doc);
    ASSERT_EQ(back->GetTables().Count(), 1);
    Table bt = back->GetTables().Item(1);
    EXPECT_EQ(bt.GetCell(1, 1).GetRange().Text(), std::string("Leistung") + kCellEndMark);
    EXPECT_EQ(bt.GetCell(2, 3).GetRange().Text(), std::string("150,00 €") + kCellEndMark);
    EXPECT_FLOAT_EQ(bt.GetCell(1, 1).Width(), 200);
    EXPECT_FLOAT_EQ(bt.GetCell(2, 1).Width(), 200);
    EXPECT_FLOAT_EQ(bt.GetCell(2, 2).Width(), 50);
    EXPECT_FLOAT_EQ(bt.GetCell(1, 2).Width(), t.GetCell(1, 2).Width());
    EXPECT_FLOAT_EQ(bt.GetRows().Item(1).Height(), 18);
    EXPECT_EQ(bt.GetRows().Item(1).GetHeightRule(), HeightRule::Exactly);
    EXPECT_EQ(back->Content().Text(), doc->Content().Text());
    // Border styles per cell edge survive as they were in the model.
    const auto& a = detail::Access::DocOf(*doc)->cellProps;
    const auto& b = detail::Access::DocOf(*back)->cellProps;
    ASSERT_EQ(a.size(), b.size());
    size_t singles = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].top, b[i].top);
        EXPECT_EQ(a[i].left, b[i].left);
        EXPECT_EQ(a[i].bottom, b[i].bottom);
        EXPECT_EQ(a[i].right, b[i].right);
        singles += b[i].top == LineStyle::Single;
    }
    EXPECT_GT(singles, 0u);
}

TEST(DocxSave, RangedAndPointCommentsComeBack) {
    auto doc = Document::New();
    doc->GetRange(0, 0).InsertAfter("Vermessung des Grundstücks");
    doc->GetComments().Add(doc->GetRange(0, 10), "GebührBerechnen");
    doc->GetComments().Add(doc->GetRange(15, 15), "Punkt & Komma");
    ASSERT_EQ(doc->GetComments().Count(), 2);

    auto p = pkg::Package::FromBytes(doc->ToBytes());
    EXPECT_NE(p.Read("[Content_Types].xml").find("/word/comments.xml"), std::string::npos);
    EXPECT_NE(p.Read("word/_rels/document.xml.rels").find("comments.xml"), std::string::npos);
    const std::string xml = p.Read("word/document.xml");
    EXPECT_NE(xml.find("<w:commentRangeStart w:id=\"0\"/>"), std::string::npos);
    EXPECT_EQ(xml.find("<w:commentRangeStart w:id=\"1\"/>"), std::string::npos);  // point comment: no range

    auto back = Reload(*doc);
    ASSERT_EQ(back->GetComments().Count(), 2);
    for (int i = 1; i <= 2; ++i) {
        Comment a = doc->GetComments().Item(i), b = back->GetComments().Item(i);
        EXPECT_EQ(b.Text(), a.Text());
        EXPECT_EQ(b.Scope().Start(), a.Scope().Start());
        EXPECT_EQ(b.Scope().End(), a.Scope().End());
        EXPECT_EQ(b.Reference().Start(), a.Reference().Start());
    }
    EXPECT_EQ(back->Content().Text(), doc->Content().Text());
}

TEST(DocxSave, TextBoxComesBack) {
    auto doc = Document::New();
    doc->GetRange(0, 0).InsertAfter("Anker");
    Shape s = doc->GetShapes().AddTextbox(TextOrientation::Horizontal, 12, 700, 150, 40);
    s.SetName("Honora_5");
    s.GetTextFrame().TextRange().InsertBefore("Zahlbar sofort");
    s.SetRelativeVerticalPosition(RelativeVerticalPosition::Page);
    s.Fill().SetTransparency(0.25f);
    s.Line().SetVisible(false);
    const std::string xml = DocumentXml(*doc);
    EXPECT_NE(xml.find("<mc:Fallback>"), std::string::npos);
    EXPECT_NE(xml.find("name=\"Honora_5\""), std::string::npos);

    auto back = Reload(*doc);
    ASSERT_EQ(back->GetShapes().Count(), 1);
    Shape b = back->GetShapes().Item(1);
    EXPECT_EQ(b.Name(), "Honora_5");
    EXPECT_FLOAT_EQ(b.Left(), 12);
    EXPECT_FLOAT_EQ(b.Top(), 700);
    EXPECT_FLOAT_EQ(b.Width(), 150);
    EXPECT_FLOAT_EQ(b.Height(), 40);
    EXPECT_EQ(b.GetRelativeVerticalPosition(), RelativeVerticalPosition::Page);
    EXPECT_TRUE(b.Fill().Visible());
    EXPECT_NEAR(b.Fill().Transparency(), 0.25f, 1e-4);
    EXPECT_FALSE(b.Line().Visible());
    EXPECT_EQ(b.GetTextFrame().TextRange().Text(), s.GetTextFrame().TextRange().Text());
}

TEST(DocxSave, SaveAsWritesAFileThatOpens) {
    kado::testing::TempDir tmp("kado-docx-save");
    const auto& dir = tmp.Path();
    auto doc = Document::New();
    doc->GetRange(0, 0).InsertAfter("gespeichert");
    doc->SaveAs(dir / "a.docx");
    auto back = Document::Open(dir / "a.docx");
    EXPECT_EQ(back->Content().Text(), "gespeichert\r");
    EXPECT_EQ(back->GetApplication()->ActiveDocument(), back);
    EXPECT_THROW(doc->SaveAs(dir / "missing" / "b.docx"), com::Error);
    if (HasFailure()) tmp.Keep();
}

// A package written by hand with parts and properties the engine does not model.
std::string HandMadeDocx() {
    auto p = pkg::Package::Empty();
    p.Write("[Content_Types].xml",
            R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
            R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
            R"(<Default Extension="xml" ContentType="application/xml"/><Default Extension="bin" ContentType="application/octet-stream"/>)"
            R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
            R"(<Override PartName="/word/header1.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml"/>)"
            R"(<Override PartName="/word/footer1.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml"/>)"
            R"(<Override PartName="/word/comments.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.comments+xml"/>)"
            R"(</Types>)");
    p.Write("_rels/.rels",
            R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
            R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/></Relationships>)");
    p.Write("word/_rels/document.xml.rels",
            R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
            R"(<Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/header" Target="header1.xml"/>)"
            R"(<Relationship Id="rId8" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer" Target="footer1.xml"/>)"
            R"(<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/comments" Target="comments.xml"/></Relationships>)");
    p.Write("word/header1.xml",
            R"(<?xml version="1.0" encoding="UTF-8"?><w:hdr xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:p><w:r><w:t>Kopf</w:t></w:r></w:p></w:hdr>)");
    p.Write("word/footer1.xml",
            R"(<?xml version="1.0" encoding="UTF-8"?><w:ftr xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:p><w:r><w:t>Fuß</w:t></w:r></w:p></w:ftr>)");
    p.Write("custom/blob.bin", std::string("\x00\x01\x02unbekannt\xff", 13));
    p.Write("word/comments.xml",
            R"(<?xml version="1.0" encoding="UTF-8"?><w:comments xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
            R"(<w:comment w:id="7" w:author="A" w:initials="a"><w:p><w:r><w:t>Ohne Referenz</w:t></w:r></w:p></w:comment>)"
            R"(<w:comment w:id="3" w:author="B" w:initials="b"><w:p><w:r><w:t>Nur Punkt</w:t></w:r></w:p></w:comment>)"
            R"(</w:comments>)");
    p.Write("word/document.xml",
            R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
            R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" )"
            R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" )"
            R"(xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" )"
            R"(xmlns:w14="http://schemas.microsoft.com/office/word/2010/wordml" mc:Ignorable="w14"><w:body>)"
            R"(<w:p><w:pPr><w:spacing w:after="120"/><w:jc w:val="center"/></w:pPr>)"
            R"(<w:commentRangeStart w:id="7"/><w:r><w:rPr><w:b/><w:color w:val="FF0000"/></w:rPr><w:t>Rot</w:t></w:r><w:commentRangeEnd w:id="7"/>)"
            R"(<w:bookmarkStart w:id="0" w:name="Marke"/><w:r><w:t xml:space="preserve"> und </w:t></w:r><w:bookmarkEnd w:id="0"/>)"
            R"(<w:r><w:commentReference w:id="3"/></w:r><w:r><w:t>Ende</w:t></w:r></w:p>)"
            R"(<w:sdt><w:sdtContent><w:p><w:r><w:t>Inhaltssteuerung</w:t></w:r></w:p></w:sdtContent></w:sdt>)"
            R"(<w:p><w:r><w:t>Letzter</w:t></w:r></w:p>)"
            R"(<w:sectPr><w:headerReference w:type="default" r:id="rId7"/><w:footerReference w:type="default" r:id="rId8"/>)"
            R"(<w:pgSz w:w="11906" w:h="16838"/><w:pgMar w:top="1417" w:right="1000" w:bottom="1134" w:left="1000"/></w:sectPr>)"
            R"(</w:body></w:document>)");
    return p.ToBytes();
}

TEST(DocxPreserve, UnknownPartsAndPropertiesSurviveAnEdit) {
    const std::string original = HandMadeDocx();
    auto doc = Document::FromBytes(original);
    EXPECT_FLOAT_EQ(detail::Access::DocOf(*doc)->textWidth, (11906 - 2000) / 20.0f);
    EXPECT_EQ(doc->GetRange(0, 3).Text(), "Rot");
    EXPECT_TRUE(doc->GetRange(0, 3).Bold());
    EXPECT_EQ(doc->GetRange(0, 1).GetParagraphFormat().GetAlignment(), Alignment::Center);
    doc->GetRange(0, 0).InsertBefore("Neu: ");

    const auto before = pkg::Package::FromBytes(original);
    const auto after = pkg::Package::FromBytes(doc->ToBytes());
    for (const char* part : {"word/header1.xml", "word/footer1.xml", "custom/blob.bin", "_rels/.rels",
                             "word/_rels/document.xml.rels", "[Content_Types].xml"})
        EXPECT_EQ(after.Read(part), before.Read(part)) << part;
    const std::string xml = after.Read("word/document.xml");
    for (const char* kept : {R"(xmlns:w14="http://schemas.microsoft.com/office/word/2010/wordml")", R"(mc:Ignorable="w14")",
                             "<w:b/><w:color w:val=\"FF0000\"/>", "<w:spacing w:after=\"120\"/><w:jc w:val=\"center\"/>",
                             "<w:bookmarkStart w:id=\"0\" w:name=\"Marke\"/>", "<w:sdt><w:sdtContent>",
                             "<w:headerReference w:type=\"default\" r:id=\"rId7\"/>"})
        EXPECT_NE(xml.find(kept), std::string::npos) << kept;
    EXPECT_LT(xml.find("Inhaltssteuerung"), xml.find("Letzter"));
    EXPECT_NE(xml.find("</w:sectPr></w:body>"), std::string::npos);
}

// Keeps and can't-split as files write them: read as meant, written in one
// form among the properties kept as they were, and a second save changes nothing.
TEST(DocxLoad, PageBreakPropertiesComeBackAndSaveStably) {
    const struct Case {
        const char* what;
        const char* pPr;  // children of the first paragraph's w:pPr
        const char* trPr;  // children of the table row's w:trPr
        bool keepNext, keepLines, rowBreaks;
        const char* pPrSaved;
        const char* trPrSaved;
    } cases[] = {
        {"none", "", "", false, false, true, "", ""},
        {"plain", "<w:keepNext/><w:keepLines/>", "<w:cantSplit/>", true, true, false,
         "<w:pPr><w:keepNext/><w:keepLines/></w:pPr>", "<w:trPr><w:cantSplit/></w:trPr>"},
        {"spelled out", R"(<w:keepLines w:val="true"/><w:keepNext w:val="1"/>)", R"(<w:cantSplit w:val="on"/>)", true, true,
         false, "<w:pPr><w:keepNext/><w:keepLines/></w:pPr>", "<w:trPr><w:cantSplit/></w:trPr>"},
        {"switched off against a style", R"(<w:pStyle w:val="Heading1"/><w:keepNext w:val="0"/><w:keepLines w:val="false"/>)",
         R"(<w:cantSplit w:val="off"/>)", false, false, true,
         R"(<w:pPr><w:pStyle w:val="Heading1"/><w:keepNext w:val="0"/><w:keepLines w:val="0"/></w:pPr>)",
         R"(<w:trPr><w:cantSplit w:val="0"/></w:trPr>)"},
        {"among other properties", R"(<w:keepNext/><w:spacing w:after="120"/><w:jc w:val="center"/>)",
         R"(<w:cantSplit/><w:trHeight w:val="300" w:hRule="exact"/><w:tblHeader/>)", true, false, false,
         R"(<w:pPr><w:keepNext/><w:spacing w:after="120"/><w:jc w:val="center"/></w:pPr>)",
         R"(<w:trPr><w:cantSplit/><w:trHeight w:val="300" w:hRule="exact"/><w:tblHeader/></w:trPr>)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string source = WithDocumentXml(
            std::string(R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:body>)") +
            "<w:p><w:pPr>" + c.pPr + "</w:pPr><w:r><w:t>Titel</w:t></w:r></w:p>"
            "<w:tbl><w:tr><w:trPr>" + c.trPr + "</w:trPr><w:tc><w:p><w:r><w:t>Zelle</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"
            "<w:p/></w:body></w:document>");
        auto doc = Document::FromBytes(source);
        auto title = doc->GetRange(0, 5).GetParagraphFormat();
        EXPECT_EQ(title.KeepWithNext(), c.keepNext);
        EXPECT_EQ(title.KeepTogether(), c.keepLines);
        EXPECT_EQ(doc->GetTables().Item(1).GetRows().Item(1).AllowBreakAcrossPages(), c.rowBreaks);

        // Untouched, the properties come back as the file spelled them.
        const std::string asRead = DocumentXml(*doc);
        EXPECT_NE(asRead.find(std::string("<w:pPr>") + c.pPr + "</w:pPr>"), std::string::npos) << asRead;
        EXPECT_NE(asRead.find(std::string("<w:trPr>") + c.trPr + "</w:trPr>"), std::string::npos) << asRead;
        // Edited, the paragraph and the table are written from the model.
        doc->GetRange(0, 5).InsertAfter(" ");
        doc->GetTables().Item(1).GetCell(1, 1).GetRange().InsertAfter(" ");
        const std::string once = DocumentXml(*doc);
        EXPECT_NE(once.find(std::string("<w:p>") + c.pPrSaved + "<w:r>"), std::string::npos) << once;
        EXPECT_NE(once.find(std::string("<w:tr>") + c.trPrSaved + "<w:tc>"), std::string::npos) << once;
        auto again = Reload(*doc);
        EXPECT_EQ(DocumentXml(*again), once);
        EXPECT_EQ(again->GetRange(0, 5).GetParagraphFormat().KeepWithNext(), c.keepNext);
    }
}

TEST(DocxLoad, CommentsWithoutRangeOrReference) {
    auto doc = Document::FromBytes(HandMadeDocx());
    ASSERT_EQ(doc->GetComments().Count(), 2);
    // The ranged comment had no reference: it gets one at the end of its range.
    Comment ranged = doc->GetComments().Item(1);
    EXPECT_EQ(ranged.Text().substr(0, 13), "Ohne Referenz");
    EXPECT_EQ(ranged.Scope().Text(), "Rot");
    EXPECT_EQ(ranged.Reference().Start(), 3);
    // The point comment carries only its reference mark.
    Comment point = doc->GetComments().Item(2);
    EXPECT_EQ(point.Text().substr(0, 9), "Nur Punkt");
    EXPECT_EQ(point.Scope().Start(), point.Scope().End());

    auto back = Reload(*doc);
    ASSERT_EQ(back->GetComments().Count(), 2);
    EXPECT_EQ(back->GetComments().Item(1).Scope().Text(), "Rot");
    EXPECT_EQ(back->GetComments().Item(2).Text(), point.Text());
    const std::string cx = pkg::Package::FromBytes(doc->ToBytes()).Read("word/comments.xml");
    // The ids stay as the file has them, in the comments and in the text alike.
    EXPECT_NE(cx.find("w:id=\"7\""), std::string::npos);
    EXPECT_NE(cx.find("w:id=\"3\""), std::string::npos);
    EXPECT_NE(DocumentXml(*doc).find("<w:commentReference w:id=\"7\"/>"), std::string::npos) << DocumentXml(*doc);
}

TEST(DocxLoad, MalformedPackagesGiveErrors) {
    const std::string ns = R"(xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main")";
    struct Case {
        const char* name;
        std::string bytes;
        const char* mentions;
    } cases[] = {
        {"empty", "", nullptr},
        {"no zip", "PK\x03\x04 this is not a zip archive", nullptr},
        {"no document part", [] { auto p = pkg::Package::Empty(); p.Write("x.xml", "<x/>"); return p.ToBytes(); }(), "word/document.xml"},
        {"broken xml", WithDocumentXml("<w:document " + ns + "><w:body><w:p>"), "word/document.xml"},
        {"doctype", WithDocumentXml("<!DOCTYPE x [<!ENTITY e \"boom\">]><w:document " + ns + "><w:body/></w:document>"), "word/document.xml"},
        {"wrong root", WithDocumentXml("<w:hdr " + ns + "/>"), "word/document.xml"},
        {"no body", WithDocumentXml("<w:document " + ns + "/>"), "word/document.xml"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            Document::FromBytes(c.bytes);
            ADD_FAILURE() << "loaded";
        } catch (const com::Error& e) {
            EXPECT_FALSE(e.Description().empty());
            if (c.mentions) {
                EXPECT_EQ(e.Number(), err::BadPackage);
                EXPECT_NE(e.Description().find(c.mentions), std::string::npos) << e.Description();
            }
        }
    }
}

// The body is parsed a stretch at a time after a scan for its elements: markup
// that could mislead such a scan still gives the text, and an unedited save
// writes the body back byte for byte.
TEST(DocxLoad, BodyMarkupReadsAndComesBackAsWritten) {
    const std::string root = R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:body>)";
    auto para = [](const std::string& t) { return "<w:p><w:r><w:t>" + t + "</w:t></w:r></w:p>"; };
    std::string many;  // several parsed stretches
    for (int i = 0; i < 6000; ++i) many += para("Absatz " + std::to_string(i));
    std::string rows;
    for (int i = 0; i < 6000; ++i) rows += "<w:tr><w:tc>" + para("Zeile " + std::to_string(i)) + "</w:tc></w:tr>";
    const struct Case {
        const char* what;
        std::string prolog, body;
        std::string text;  // the first paragraphs' text
    } cases[] = {
        {"markup in a comment", "", para("eins") + "<!-- <w:p></w:body></w:document> -->" + para("zwei"), "eins\rzwei\r"},
        {"angle brackets and quotes in attributes", "",
         R"(<w:p w:rsidR="a/>b"><w:r><w:t>eins</w:t></w:r></w:p><w:p w:x='it"s/>'><w:r><w:t>zwei</w:t></w:r></w:p>)",
         "eins\rzwei\r"},
        {"end tags in CDATA and instructions", "",
         "<w:p><w:r><w:t><![CDATA[a</w:p></w:body>]]></w:t></w:r></w:p><?kado </w:body>?>" + para("zwei"),
         "a</w:p></w:body>\rzwei\r"},
        {"line breaks in tags, empty elements, text between", "",
         "\n  <w:p\n/>\n<w:p  ><w:r\n><w:t>zwei</w:t></w:r></w:p  >\n", "\rzwei\r"},
        {"byte order mark and declaration", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>", para("eins"), "eins\r"},
        {"longer than one stretch", "", many, "Absatz 0\rAbsatz 1\r"},
        {"one element longer than a stretch", "", "<w:tbl>" + rows + "</w:tbl>" + para("danach"), "Zeile 0\r\a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string xml = c.prolog + root + c.body + "</w:body></w:document>";
        const auto split = detail::SplitBody(xml);  // else the part would be parsed whole
        ASSERT_TRUE(split);
        EXPECT_EQ(xml.substr(split->open, split->close - split->open), c.body);
        auto doc = Document::FromBytes(WithDocumentXml(xml));
        EXPECT_EQ(doc->Content().Text().substr(0, c.text.size()), c.text);
        const std::string saved = DocumentXml(*doc);
        const size_t open = saved.find("<w:body>"), close = saved.rfind("</w:body>");
        ASSERT_NE(close, std::string::npos);
        const std::string body = saved.substr(open + 8, close - open - 8);
        // Text before the first element belongs to no block.
        EXPECT_EQ(body, c.body.substr(c.body.find('<'))) << saved.substr(0, 400);
    }
    // What the search for the body's end could be misled by is read whole.
    const std::string hidden = root + para("eins") + "</w:body><!-- </w:body> --></w:document>";
    EXPECT_FALSE(detail::SplitBody(hidden));
    EXPECT_EQ(Document::FromBytes(WithDocumentXml(hidden))->Content().Text(), "eins\r");
    // A part in another encoding is read whole, converted.
    auto latin = Document::FromBytes(WithDocumentXml("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + root +
                                                     para("Geb\xFChr") + "</w:body></w:document>"));
    EXPECT_EQ(latin->Content().Text(), "Gebühr\r");
}

// An error names its offset in the part, wherever the part was cut for parsing.
TEST(DocxLoad, XmlErrorsNameTheirOffsetInThePart) {
    const std::string root = R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:body>)";
    std::string many;
    for (int i = 0; i < 6000; ++i) many += "<w:p><w:r><w:t>Absatz</w:t></w:r></w:p>";
    const struct Case {
        const char* what;
        std::string xml;
    } cases[] = {
        {"in the first paragraph", root + "<w:p><w:r></w:p></w:body></w:document>"},
        {"in a later stretch", root + many + "<w:p><w:r><w:t>a</w:x></w:r></w:p>" + many + "</w:body></w:document>"},
        {"after the body", root + many + "</w:body><w:x a=b/></w:document>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        pugi::xml_document whole;
        const auto res = whole.load_buffer(c.xml.data(), c.xml.size());
        ASSERT_FALSE(res);
        try {
            Document::FromBytes(WithDocumentXml(c.xml));
            ADD_FAILURE() << "loaded";
        } catch (const com::Error& e) {
            EXPECT_NE(e.Description().find("(Offset " + std::to_string(res.offset) + ")"), std::string::npos)
                << e.Description() << " / " << res.description();
        }
    }
}

TEST(DocxSave, TextBoxIdsDoNotCollideWithKeptDrawings) {
    const std::string xml =
        R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" xmlns:wp="wp"><w:body>)"
        R"(<w:p><w:r><w:drawing><wp:inline><wp:docPr id="41" name="Bild 1"/></wp:inline></w:drawing></w:r></w:p>)"
        R"(</w:body></w:document>)";
    auto doc = Document::FromBytes(WithDocumentXml(xml));
    doc->GetRange(0, 0).Select();
    doc->GetShapes().AddTextbox(TextOrientation::Horizontal, 0, 0, 50, 20);
    const std::string out = DocumentXml(*doc);
    EXPECT_NE(out.find("<wp:docPr id=\"41\" name=\"Bild 1\"/>"), std::string::npos);  // the picture is kept
    EXPECT_NE(out.find("<wp:docPr id=\"42\""), std::string::npos);
}

TEST(DocxLoad, DeeplyNestedTablesAndOddStructureLoad) {
    std::string inner = "<w:p><w:r><w:t>tief</w:t></w:r></w:p>";
    for (int i = 0; i < 300; ++i) inner = "<w:tbl><w:tr><w:tc>" + inner + "</w:tc></w:tr></w:tbl>";
    const std::string xml = R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:body>)" +
                            inner + "<w:tbl><w:tr/></w:tbl><w:tbl><w:tr><w:tc/></w:tr></w:tbl></w:body></w:document>";
    auto doc = Document::FromBytes(WithDocumentXml(xml));
    // The outer table is modelled, the inner ones travel as kept XML; the text ends with a paragraph.
    EXPECT_EQ(doc->GetTables().Count(), 2);
    EXPECT_EQ(detail::Access::DocOf(*doc)->main.chars.back().kind, detail::Kind::ParaEnd);
    auto back = Reload(*doc);
    EXPECT_EQ(back->GetTables().Count(), 2);
    EXPECT_NE(DocumentXml(*back).find("tief"), std::string::npos);
}

// LibreOffice writes the DOCX, we edit and save it, LibreOffice reads ours.
TEST(DocxLibreOffice, WrittenByLibreOfficeEditedAndReadBack) {
    kado::testing::TempDir tmp("kado-docx-lo");
    const auto& dir = tmp.Path();
    WriteAll(dir / "rechnung.fodt",
             R"(<?xml version="1.0" encoding="UTF-8"?>)"
             R"(<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" )"
             R"(xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">)"
             R"(<office:body><office:text><text:p>Honorarrechnung Nr. 4712</text:p>)"
             R"(<table:table table:name="T"><table:table-column table:number-columns-repeated="2"/>)"
             R"(<table:table-row><table:table-cell><text:p>Grenzfeststellung</text:p></table:table-cell><table:table-cell><text:p>1.234,50 €</text:p></table:table-cell></table:table-row>)"
             R"(</table:table><text:p>Schluss</text:p></office:text></office:body></office:document>)");
    const auto docx = LoConvert(dir / "rechnung.fodt", "docx", dir);
    ASSERT_FALSE(docx.empty()) << ReadAll(dir / "soffice.log");
    auto doc = Document::Open(docx);
    const std::string text = doc->Content().Text();
    EXPECT_NE(text.find("Honorarrechnung Nr. 4712\r"), std::string::npos);
    EXPECT_NE(text.find(std::string("Grenzfeststellung") + kCellEndMark), std::string::npos);
    ASSERT_EQ(doc->GetTables().Count(), 1);
    EXPECT_EQ(doc->GetTables().Item(1).GetCell(1, 2).GetRange().Text(), std::string("1.234,50 €") + kCellEndMark);

    // Untouched parts come back byte for byte after an edit.
    doc->GetRange(0, 0).InsertBefore("X");
    const auto before = pkg::Package::FromBytes(ReadAll(docx));
    const auto after = pkg::Package::FromBytes(doc->ToBytes());
    for (const auto& name : before.Names())
        if (name != "word/document.xml") {
            EXPECT_EQ(after.Read(name), before.Read(name)) << name;
        }
    if (HasFailure()) tmp.Keep();
}

TEST(DocxLibreOffice, FixtureEditedWithTableCommentAndTextBoxReadsInLibreOffice) {
    kado::testing::TempDir tmp("kado-docx-lo-fixture");
    const auto& dir = tmp.Path();
    auto doc = Document::Open(std::filesystem::path(KADO_SOURCE_DIR) / "tests/platform/word/fixtures/lo_invoice.docx");
    ASSERT_EQ(doc->GetTables().Count(), 1);
    EXPECT_EQ(doc->GetTables().Item(1).GetCell(2, 2).GetRange().Text(), std::string("150,00 €") + kCellEndMark);

    const long end = EndOfText(*doc);
    Table t = doc->GetTables().Add(doc->GetRange(end, end), 2, 2);
    t.GetCell(1, 1).GetRange().InsertBefore("Gebührenzone III");
    t.GetCell(2, 2).GetRange().InsertBefore("Summe 2.468,00 €");
    t.GetRows().Item(1).SetHeight(20, HeightRule::Exactly);
    doc->GetComments().Add(t.GetCell(1, 1).GetRange(), "Kommentar an der Zelle");
    doc->GetComments().Add(doc->GetRange(24, 24), "Punktkommentar im Text");  // after "…Nr. 4711"
    doc->GetRange(0, 0).Select();
    Shape s = doc->GetShapes().AddTextbox(TextOrientation::Horizontal, 20, 600, 200, 50);
    s.SetName("Honora_5");
    s.GetTextFrame().TextRange().InsertBefore("Textfeld Zahlungsziel");
    s.SetRelativeVerticalPosition(RelativeVerticalPosition::Page);
    doc->SaveAs(dir / "ours.docx");

    const auto fodt = LoConvert(dir / "ours.docx", "fodt", dir);
    ASSERT_FALSE(fodt.empty()) << ReadAll(dir / "soffice.log");
    const std::string x = ReadAll(fodt);
    for (const char* wanted : {"Honorarrechnung Nr. 4711", "Vermessung", "150,00 €", "Gebührenzone III",
                               "Summe 2.468,00 €", "Kommentar an der Zelle", "Punktkommentar im Text",
                               "Textfeld Zahlungsziel", "Honora_5", "<office:annotation"})
        EXPECT_NE(x.find(wanted), std::string::npos) << wanted;
    EXPECT_LT(x.find("Gebührenzone III"), x.find("Summe 2.468,00 €"));
    if (HasFailure()) tmp.Keep();
}

}  // namespace
}  // namespace kado::word
