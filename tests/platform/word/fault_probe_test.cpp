// The fault plan on the document engine's public surface: each call counts
// once, however many of its own public members the engine uses for it, and
// the planned call fails once with 440 before it changes anything.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/com/error.h"
#include "platform/com/fault_plan.h"
#include "platform/word/word.h"

namespace {

namespace faults = kado::com::faults;
namespace word = kado::word;
using faults::Area;

class FaultProbe : public ::testing::Test {
protected:
    void SetUp() override {
        doc_ = word::Document::New();
        doc_->Content().InsertAfter("Rechnung");
        auto end = doc_->Content();
        end.Collapse(word::CollapseDirection::End);
        table_ = doc_->GetTables().Add(end, 2, 2);
        doc_->GetComments().Add(doc_->GetRange(0, 3), "kadoStart");
        faults::Reset();
    }
    void TearDown() override { faults::Reset(); }

    std::shared_ptr<word::Document> doc_;
    std::optional<word::Table> table_;
};

TEST_F(FaultProbe, ACallCountsOnceWhateverItUsesInside) {
    struct Case {
        const char* what;
        std::function<void()> call;
    };
    const Case cases[] = {
        {"Comment::Text", [&] { doc_->GetComments().Item(1).Text(); }},
        {"Range::InsertParagraphAfter", [&] { doc_->GetRange(0, 0).InsertParagraphAfter(); }},
        {"Selection::SetText", [&] { doc_->GetApplication()->GetSelection().SetText("x"); }},
        {"Table::Select", [&] { table_->Select(); }},
        {"Cell::Select", [&] { table_->GetCell(1, 1).Select(); }},
        {"Font::SetBold", [&] { doc_->GetRange(0, 2).GetFont().SetBold(true); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        faults::Reset();
        c.call();
        const uint64_t all = faults::Calls(Area::Word);
        ASSERT_GE(all, 1u);
        // Failing the last counted call fails the case's own member, not one inside it.
        faults::Plan(Area::Word, all);
        try {
            c.call();
            ADD_FAILURE() << "call " << all << " did not fail";
        } catch (const kado::com::Error& e) {
            EXPECT_EQ(e.Number(), 440);
            EXPECT_NE(e.Description().find(c.what), std::string::npos) << e.Description();
        }
        EXPECT_EQ(faults::Calls(Area::Word), all);
    }
}

TEST_F(FaultProbe, ThePlannedCallFailsOnceBeforeItChangesAnything) {
    const std::string before = doc_->Content().Text();
    faults::Plan(Area::Word, 2);
    auto r = doc_->Content();  // call 1
    try {
        r.InsertAfter(" Nr. 17");  // call 2
        ADD_FAILURE() << "no failure injected";
    } catch (const kado::com::Error& e) {
        EXPECT_EQ(e.Description(),
                  "injected fault: call 2 of the document engine (kado::word::Range::InsertAfter)");
        EXPECT_EQ(faults::LastInjected(), e.Description());
    }
    EXPECT_EQ(doc_->Content().Text(), before);  // call 3 goes through
    EXPECT_EQ(faults::Calls(Area::Word), 4u);
    faults::Reset();
    EXPECT_EQ(faults::LastInjected(), "");
}

TEST_F(FaultProbe, PlanTextNamesAreaAndCall) {
    struct Case {
        const char* text;
        uint64_t failingWordCall;  // 0: none planned for the document engine
        const char* rejected;
    };
    const Case cases[] = {
        {"word=3", 3, ""},
        {" dao = 2 ; word = 1 ", 1, ""},
        {"settings=1,word=2", 2, ""},
        {"word=0", 0, "'word=0'"},
        {"disk=1, word=x, word", 0, "'disk=1', 'word=x', 'word'"},
        {"word=2x,word=2", 2, "'word=2x'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        faults::Reset();
        std::string rejected;
        faults::PlanFromText(c.text, rejected);
        EXPECT_EQ(rejected, c.rejected);
        uint64_t failed = 0;
        for (uint64_t k = 1; k <= 4; ++k) {
            try {
                doc_->Content();
            } catch (const kado::com::Error&) {
                failed = k;
            }
        }
        EXPECT_EQ(failed, c.failingWordCall);
    }
}

}  // namespace
