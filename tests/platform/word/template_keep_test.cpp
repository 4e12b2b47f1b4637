// An office's own template keeps what it brings when a table is confirmed at
// its "kadoStart" marker: every element of the user's body comes out as read,
// the new table starts with its title, protected documents are refused.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/word/lo_support.h"
#include "platform/word/package.h"
#include "platform/word/word.h"
#include "platform/com/error.h"

namespace kado::word {
namespace {

namespace fs = std::filesystem;

std::string Template(const std::string& name) {
    return test::ReadAll(fs::path(KADO_SOURCE_DIR) / "tests/tools/templates" / (name + ".docx"));
}

struct Body {
    pugi::xml_document doc;
    std::vector<std::string> children;  // each body element as XML, the section last
    std::vector<pugi::xml_node> nodes;
};
void Read(const std::string& docx, Body& b, const std::string& part = "word/document.xml") {
    const std::string xml = pkg::Package::FromBytes(docx).Read(part);
    ASSERT_TRUE(b.doc.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata));
    for (auto c : b.doc.document_element().first_element_by_path("w:body").children()) {
        std::ostringstream o;
        c.print(o, "", pugi::format_raw);
        b.children.push_back(o.str());
        b.nodes.push_back(c);
    }
}

// What the plug-in does at a marker: a paragraph before the word ahead of it,
// a table there, the title in its first cell.
std::string Confirm(const std::string& docx, const std::function<void(Document&)>& edit = {}) {
    auto doc = Document::FromBytes(docx);
    Range end = doc->Content();
    end.Collapse(CollapseDirection::End);
    end.InsertParagraphAfter();
    end.Collapse(CollapseDirection::End);
    doc->GetComments().Add(end, "kadoStart");
    doc = Document::FromBytes(doc->ToBytes());
    for (int i = 1; i <= doc->GetComments().Count(); ++i) {
        Comment c = doc->GetComments().Item(i);
        if (c.GetRange().Text() != "kadoStart") continue;
        Range r = c.Reference();
        r.Collapse(CollapseDirection::Start);
        r.MoveStart(Unit::Word, -1);
        r.InsertParagraphBefore();
        r.Collapse(CollapseDirection::Start);
        Table t = doc->GetTables().Add(r, 2, 2);
        t.GetCell(1, 1).GetRange().SetText("Grenzfeststellung");
        t.GetCell(1, 1).GetRange().SetBold(true);
    }
    if (edit) edit(*doc);
    return doc->ToBytes();
}

std::string CellText(pugi::xml_node tbl) {
    std::string s;
    for (auto t : tbl.select_nodes("w:tr[1]/w:tc[1]//w:t")) s += t.node().text().get();
    return s;
}

class TemplateKeep : public ::testing::TestWithParam<const char*> {};

TEST_P(TemplateKeep, UserBodyAsReadAndTitleInFirstCell) {
    const std::string in = Template(GetParam()), out = Confirm(in);
    Body a, b;
    Read(in, a);
    Read(out, b);
    ASSERT_GT(b.children.size(), a.children.size());
    const size_t user = a.children.size() - 1;  // all but the section
    for (size_t i = 0; i < user; ++i) EXPECT_EQ(b.children[i], a.children[i]) << "body element " << i;
    EXPECT_EQ(b.children.back(), a.children.back());
    ASSERT_EQ(std::string(b.nodes[user].name()), "w:tbl") << b.children[user];
    EXPECT_EQ(CellText(b.nodes[user]), "Grenzfeststellung");
    // What the confirmation added is neither numbered nor a tracked change.
    for (size_t i = user; i + 1 < b.children.size(); ++i)
        for (const char* own : {"<w:numPr>", "<w:ins ", "<w:del ", "<w:sectPr"})
            EXPECT_EQ(b.children[i].find(own), std::string::npos) << own << " in " << b.children[i];
    // A second save gives the same bytes.
    EXPECT_EQ(Document::FromBytes(out)->ToBytes(), Document::FromBytes(Document::FromBytes(out)->ToBytes())->ToBytes());
}

INSTANTIATE_TEST_SUITE_P(Fixtures, TemplateKeep,
                         ::testing::Values("bookmark-at-end", "simple-field", "complex-field", "hyperlink-at-end",
                                           "content-controls", "row-content-controls", "cell-content-controls",
                                           "permissions", "tracked-changes", "nested-letterhead", "nested-at-marker",
                                           "numbered", "own-comments"),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (char& c : n)
                                 if (c == '-') c = '_';
                             return n;
                         });

TEST(TemplateKeep, UserCommentsKeepTheirXml) {
    const std::string in = Template("own-comments"), out = Confirm(in);
    const std::string before = pkg::Package::FromBytes(in).Read("word/comments.xml");
    const std::string after = pkg::Package::FromBytes(out).Read("word/comments.xml");
    const size_t from = before.find("<w:comment "), to = before.find("</w:comment>");
    ASSERT_NE(to, std::string::npos);
    EXPECT_NE(after.find(before.substr(from, to - from)), std::string::npos) << after;
    // The marker got an id of its own, above the user's.
    EXPECT_NE(after.find("w:id=\"4\""), std::string::npos) << after;
}

// Kept bytes never hide an edit: what the model changed is written from it.
TEST(TemplateKeep, EditedBlocksAreWrittenFromTheModel) {
    struct Case {
        const char* fixture;
        std::function<void(Document&)> edit;
        size_t changed;      // body element that must differ
        const char* shows;   // and what it must hold then
    };
    const Case cases[] = {
        {"bookmark-at-end", [](Document& d) { d.Content().GetParagraphFormat().SetKeepWithNext(true); }, 1, "keepNext"},
        {"row-content-controls", [](Document& d) { d.GetTables().Item(1).GetCell(1, 1).GetRange().SetText("Flur"); }, 1, "Flur"},
        {"cell-content-controls", [](Document& d) { d.GetTables().Item(1).GetCell(1, 1).SetWidth(90); }, 1, "1800"},
    };
    for (const auto& c : cases) {
        Body a, b;
        Read(Template(c.fixture), a);
        Read(Confirm(Template(c.fixture), c.edit), b);
        EXPECT_NE(b.children[c.changed], a.children[c.changed]) << c.fixture;
        EXPECT_NE(b.children[c.changed].find(c.shows), std::string::npos) << c.fixture << ": " << b.children[c.changed];
    }
}

// A deleted paragraph leaves the one after it as it was read.
TEST(TemplateKeep, BlockAfterADeletedOneIsKept) {
    const std::string in = Template("bookmark-at-end");
    auto doc = Document::FromBytes(in);
    Range first = doc->Content();
    first.Collapse(CollapseDirection::Start);
    first.MoveEnd(Unit::Paragraph, 1);
    first.Delete();
    Body a, b;
    Read(in, a);
    Read(doc->ToBytes(), b);
    ASSERT_EQ(b.children.size(), a.children.size() - 1);
    EXPECT_EQ(b.children[0], a.children[1]);
}

TEST(TemplateKeep, ProtectedDocumentsAreRefusedSayingSo) {
    for (const char* name : {"protected", "encrypted"}) {
        std::string message;
        try {
            Document::FromBytes(Template(name));
        } catch (const com::Error& e) {
            EXPECT_EQ(e.Number(), 5408) << name;
            message = e.what();
        }
        EXPECT_NE(message.find("geschützt"), std::string::npos) << name << ": " << message;
    }
}

}  // namespace
}  // namespace kado::word
