// TabelleErmitteln and BookmarkSetzen on real documents, with the table-choice
// dialog answered through the scripted driver on a headless desktop.
#include "plugin/invoice/kv_word_auto.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "invoice_fixture.h"
#include "platform/com/error.h"
#include "platform/forms/driver.h"
#include "platform/forms/forms.h"
#include "platform/settings/settings.h"
#include "plugin/common/icon_form.h"
#include "plugin/invoice/g_frm_tabelle.h"

namespace {

using namespace kado::word;
using kado::forms::Form;
using kado::forms::OptionButton;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// What the user saw when the dialog came up.
struct Offer {
    bool fresh = false;                   // optNeu enabled
    std::vector<bool> tabelle;          // optTabelle(0..4) enabled
    bool current = false;                   // optAktTabelle enabled
    std::string selected;               // key of the selected option
};

class WordAuto : public invoice_test::InvoiceTest {
protected:
    void SetUp() override {
        InvoiceTest::SetUp();
        desktop_ = std::make_shared<kado::forms::HeadlessDesktop>();
        honora::Session().Desktop = desktop_;
        driver_ = std::make_unique<kado::forms::Driver>(desktop_);
    }

    Document& Doc() { return *honora::Session().Doc; }

    // A paragraph, then a table labelled "T<n>" in cell (1, 1), with the given
    // comments on its cells (1, last column), (2, last column), ...
    Table AddTable(const std::vector<std::string>& comments, int columns = 5, int rows = 2) {
        auto end = Doc().Content();
        end.Collapse(CollapseDirection::End);
        end.InsertBefore("Absatz");
        end.InsertParagraphAfter();
        auto at = Doc().Content();
        at.Collapse(CollapseDirection::End);
        Table t = Doc().GetTables().Add(at, rows, columns);
        t.GetCell(1, 1).GetRange().InsertAfter("T" + std::to_string(Doc().GetTables().Count()));
        for (size_t k = 0; k < comments.size(); ++k)
            Doc().GetComments().Add(t.GetCell(static_cast<int>(k % rows) + 1, columns).GetRange(), comments[k]);
        return t;
    }

    static std::string Label(const Table& t) {
        if (!t) return "nothing";
        std::string text = t.GetCell(1, 1).GetRange().Text();
        return text.substr(0, text.find('\r'));
    }

    void CursorInText() { Doc().GetRange(0, 0).Select(); }
    static void CursorIn(const Table& t) {
        auto r = t.GetCell(2, 2).GetRange();
        r.Collapse(CollapseDirection::Start);
        r.Select();
    }

    // Records what the dialog offers, then lets `act` answer it.
    void Answer(Offer& offer, std::function<void(Form&)> act) {
        driver_->AnswerNextModal([&offer, act = std::move(act)](Form& f) {
            offer.fresh = f.Get<OptionButton>("optNeu").Enabled();
            offer.tabelle.clear();
            for (int i = 0; i < 5; ++i) offer.tabelle.push_back(f.Get<OptionButton>("optTabelle", i).Enabled());
            offer.current = f.Get<OptionButton>("optAktTabelle").Enabled();
            for (auto* c : f.Controls())
                if (auto* o = dynamic_cast<OptionButton*>(c); o && o->Value()) offer.selected = o->Key();
            if (act) act(f);
        });
    }
    void Choose(Offer& offer, const std::string& option) {
        Answer(offer, [this, option](Form& f) {
            driver_->Click(f, option);
            driver_->Click(f, "cmdEnde");
        });
    }

    std::shared_ptr<kado::forms::HeadlessDesktop> desktop_;
    std::unique_ptr<kado::forms::Driver> driver_;
};

TEST_F(WordAuto, NoChoiceReturnsNothingWithoutAsking) {
    struct Case {
        const char* name;
        std::vector<std::vector<std::string>> tables;
        int cursorTable;  // 0: ordinary text
    } cases[] = {
        {"no tables at all", {}, 0},
        {"other categories' blocks, cursor in text", {{"Honora_1"}, {"Honora_2"}, {}}, 0},
        {"cursor in a table marked for another category", {{"Honora_1"}}, 1},
        {"cursor in a table with any comment", {{"no"}}, 1},
        {"marker differs in case and length", {{"honora_3"}, {"Honora_3 "}, {"Honora_30"}}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        honora::Session().Doc = Document::New(honora::Session().WordApp);
        std::vector<Table> tables;
        for (const auto& comments : c.tables) tables.push_back(AddTable(comments));
        if (c.cursorTable) CursorIn(tables[static_cast<size_t>(c.cursorTable - 1)]);
        else CursorInText();
        EXPECT_EQ(Label(honora::TabelleErmitteln("Honora_3", 0)), "nothing");
    }
    EXPECT_THAT(desktop_->ModalRuns(), IsEmpty());
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

TEST_F(WordAuto, TwoBlocksOfferTwoOptionsAndTheSecondIsTheSecondMarkedTable) {
    AddTable({"Honora_3"});
    AddTable({"Honora_1"});
    AddTable({});
    AddTable({"Honora_3", "no"});
    CursorInText();
    Offer offer;
    Choose(offer, "optTabelle(1)");
    EXPECT_EQ(Label(honora::TabelleErmitteln("Honora_3", 0)), "T4");
    EXPECT_THAT(desktop_->ModalRuns(), ElementsAre("G_frmTabelle"));
    EXPECT_TRUE(offer.fresh);
    EXPECT_THAT(offer.tabelle, ElementsAre(true, true, false, false, false));
    EXPECT_FALSE(offer.current);
    EXPECT_EQ(offer.selected, "optNeu");
    EXPECT_FALSE(honora::G_frmTabelle()->Visible());

    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

TEST_F(WordAuto, ConfirmingUnchangedMeansANewBlock) {
    AddTable({"Honora_2"});
    CursorInText();
    EXPECT_EQ(Label(honora::TabelleErmitteln("Honora_2", 0)), "nothing");
    EXPECT_THAT(desktop_->ModalRuns(), ElementsAre("G_frmTabelle"));
}

TEST_F(WordAuto, CursorInUnmarkedTableOffersTheCurrentPosition) {
    AddTable({"Honora_1"});
    Table plain = AddTable({});
    CursorIn(plain);
    Offer offer;
    Choose(offer, "optAktTabelle");
    EXPECT_EQ(Label(honora::TabelleErmitteln("Honora_4", 0)), "T2");
    EXPECT_TRUE(offer.current);
    EXPECT_THAT(offer.tabelle, ElementsAre(false, false, false, false, false));
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

TEST_F(WordAuto, CommaJoinsTwoMarkersAndALeadingCommaMatchesAnEmptyComment) {
    struct Case {
        const char* name;
        const char* argument;
        std::vector<std::vector<std::string>> tables;
        const char* option;
        std::vector<bool> offered;
        const char* result;
    } cases[] = {
        {"either marker", "Honora_1,Honora_2", {{"Honora_2"}, {"Honora_5"}, {"Honora_1"}}, "optTabelle(1)",
         {true, true, false, false, false}, "T3"},
        {"empty primary marker", ",Honora_4", {{""}, {"Honora_4"}, {"x"}}, "optTabelle(0)",
         {true, true, false, false, false}, "T1"},
        {"only the text after the first comma", "Honora_1,Honora_2,x", {{"Honora_2,x"}, {"Honora_1"}},
         "optTabelle(0)", {true, true, false, false, false}, "T1"},
        {"no comma: an empty comment does not match", "Honora_4", {{""}, {"Honora_4"}}, "optTabelle(0)",
         {true, false, false, false, false}, "T2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        honora::Session().Doc = Document::New(honora::Session().WordApp);
        for (const auto& comments : c.tables) AddTable(comments);
        CursorInText();
        Offer offer;
        Choose(offer, c.option);
        EXPECT_EQ(Label(honora::TabelleErmitteln(c.argument, 0)), c.result);
        EXPECT_EQ(offer.tabelle, c.offered);
    }
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

TEST_F(WordAuto, MoreThanFiveBlocksLogTheMissingOptions) {
    for (int i = 0; i < 7; ++i) AddTable({"Honora_5"});
    CursorInText();
    Offer offer;
    Choose(offer, "optTabelle(4)");
    EXPECT_EQ(Label(honora::TabelleErmitteln("Honora_5", 0)), "T5");
    EXPECT_THAT(offer.tabelle, ElementsAre(true, true, true, true, true));
    EXPECT_THAT(LoggedPlaces(), ElementsAre("KV_WordAuto.TabelleErmitteln", "KV_WordAuto.TabelleErmitteln"));
}

TEST_F(WordAuto, CountingAndChoosingLookAtDifferentComments) {
    // A marker outside any table and one behind another comment are counted
    // but are no fee blocks.
    Doc().GetComments().Add(Doc().GetRange(0, 0), "Honora_2");
    AddTable({"no", "Honora_2"});
    AddTable({"Honora_2"});
    CursorInText();
    Offer offer;
    Choose(offer, "optTabelle(1)");
    EXPECT_EQ(Label(honora::TabelleErmitteln("Honora_2", 0)), "nothing");
    EXPECT_THAT(offer.tabelle, ElementsAre(true, true, true, false, false));
}

TEST_F(WordAuto, TheChoiceOfThePreviousUseStays) {
    AddTable({"Honora_1"});
    Table second = AddTable({"Honora_1"});
    CursorInText();
    Offer first;
    Choose(first, "optTabelle(1)");
    EXPECT_EQ(Label(honora::TabelleErmitteln("Honora_1", 0)), "T2");

    Offer unchanged;
    Answer(unchanged, nullptr);
    EXPECT_EQ(Label(honora::TabelleErmitteln("Honora_1", 0)), "T2");
    EXPECT_EQ(unchanged.selected, "optTabelle(1)");

    // One block removed: the kept option is now disabled but still selected, and
    // its block number lies beyond the blocks left.
    second.Delete();
    Offer stale;
    Answer(stale, nullptr);
    EXPECT_EQ(Label(honora::TabelleErmitteln("Honora_1", 0)), "nothing");
    EXPECT_EQ(stale.selected, "optTabelle(1)");
    EXPECT_THAT(stale.tabelle, ElementsAre(true, false, false, false, false));

    // The current-position option kept while the cursor is no longer in a table.
    Table plain = AddTable({});
    CursorIn(plain);
    Offer current;
    Choose(current, "optAktTabelle");
    EXPECT_EQ(Label(honora::TabelleErmitteln("Honora_1", 0)), "T2");
    CursorInText();
    Offer keptCurrent;
    Answer(keptCurrent, nullptr);
    EXPECT_EQ(Label(honora::TabelleErmitteln("Honora_1", 0)), "nothing");
    EXPECT_EQ(keptCurrent.selected, "optAktTabelle");
    EXPECT_FALSE(keptCurrent.current);
    EXPECT_THAT(LoggedPlaces(), ElementsAre("KV_WordAuto.TabelleErmitteln"));
}

TEST_F(WordAuto, CloseBoxGivesNothingAndStoresThePlacement) {
    AddTable({"Honora_3"});
    AddTable({"Honora_3"});
    CursorInText();
    Offer first;
    Choose(first, "optTabelle(1)");
    EXPECT_EQ(Label(honora::TabelleErmitteln("Honora_3", 0)), "T2");

    honora::G_frmTabelle()->SetLeft(720.5);
    driver_->CloseNext();
    EXPECT_EQ(Label(honora::TabelleErmitteln("Honora_3", 0)), "nothing");
    auto form = honora::G_frmTabelle();
    EXPECT_TRUE(form->Loaded());  // loaded again by reading its options
    EXPECT_TRUE(form->Get<OptionButton>("optNeu").Value());
    EXPECT_FALSE(form->Get<OptionButton>("optTabelle", 1).Value());
    EXPECT_EQ(kado::settings::GetSetting("KadoVerwaltung", "G_frmTabelle", "Left"), "720,5");
    EXPECT_DOUBLE_EQ(form->Left(), 720.5);  // and read back on the reload
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

TEST_F(WordAuto, DialogLoadsWithPlacementIconPictureAndLayout) {
    kado::settings::SaveSetting("KadoVerwaltung", "G_frmTabelle", "Top", "1500");
    auto form = honora::G_frmTabelle();
    EXPECT_EQ(form, honora::G_frmTabelle());
    form->Load();
    EXPECT_EQ(form->Caption(), "Tabellenwahl");
    EXPECT_DOUBLE_EQ(form->Top(), 1500);
    EXPECT_EQ(form->Icon(), honora::ComponentIcon());
    EXPECT_EQ(form->Get<kado::forms::CommandButton>("cmdEnde").Picture(), honora::OkPicture());
    EXPECT_EQ(form->Get<kado::forms::Frame>("fraTabelle").Caption(), "zu bearbeitende Tabelle auswählen");

    std::vector<std::string> order;
    for (auto* c : form->Controls()) {
        auto* o = dynamic_cast<OptionButton*>(c);
        if (!o) continue;
        EXPECT_EQ(o->Container(), "fraTabelle");
        EXPECT_EQ(o->Place().row, static_cast<int>(order.size()));
        order.push_back(o->Caption());
    }
    EXPECT_THAT(order, ElementsAre("neuer Abrechnungspunkt", "1. vorhandener Eintrag", "2. vorhandener Eintrag",
                                   "3. vorhandener Eintrag", "4. vorhandener Eintrag", "5. vorhandener Eintrag",
                                   "aktuelle Cursorposition als Abrechnungspunkt interpretieren"));
    EXPECT_GT(form->Get<kado::forms::CommandButton>("cmdEnde").Place().row,
              form->Get<kado::forms::Frame>("fraTabelle").Place().row);

    try {
        honora::ButtonPicture("Weiter");
        ADD_FAILURE() << "no error";
    } catch (const kado::com::Error& e) {
        EXPECT_EQ(e.Number(), kado::forms::err::ImageNotFound);
    }

    // Component end unloads the lasting forms, which store their placement.
    form->SetTop(2400);
    honora::UnloadLastingForms();
    EXPECT_FALSE(form->Loaded());
    EXPECT_EQ(kado::settings::GetSetting("KadoVerwaltung", "G_frmTabelle", "Top"), "2400");
    EXPECT_NE(honora::G_frmTabelle(), form);
}

TEST_F(WordAuto, BookmarkSetzenMarksCellOneFiveAndSelectsIt) {
    AddTable({"Honora_4"});
    Table fee = AddTable({});
    fee.GetCell(1, 5).GetRange().InsertAfter("150,00");
    CursorInText();
    const int before = Doc().GetComments().Count();
    honora::BookmarkSetzen(fee, "Honora_2");
    ASSERT_EQ(Doc().GetComments().Count(), before + 1);

    auto cell = fee.GetCell(1, 5).GetRange();
    auto marks = cell.GetComments();
    ASSERT_EQ(marks.Count(), 1);
    EXPECT_EQ(marks.Item(1).Text(), "Honora_2");
    EXPECT_EQ(cell.Text().substr(0, 6), "150,00");
    EXPECT_EQ(fee.GetRange().GetComments().Count(), 1);
    auto sel = honora::Session().WordApp->GetSelection();
    EXPECT_EQ(sel.Start(), cell.Start());
    EXPECT_EQ(sel.End(), cell.End());
    EXPECT_THAT(LoggedPlaces(), IsEmpty());

    // The marked table is found again as the category's fee block.
    Offer offer;
    Choose(offer, "optTabelle(0)");
    EXPECT_EQ(Label(honora::TabelleErmitteln("Honora_2", 0)), "T2");
}

TEST_F(WordAuto, BookmarkSetzenOnANarrowTableAddsNothingAndLogs) {
    Table narrow = AddTable({}, 4);
    CursorInText();
    honora::BookmarkSetzen(narrow, "Honora_1");
    EXPECT_EQ(Doc().GetComments().Count(), 0);
    EXPECT_EQ(honora::Session().WordApp->GetSelection().Start(), 0);
    EXPECT_THAT(LoggedPlaces(), ElementsAre("KV_WordAuto.BookmarkSetzen", "KV_WordAuto.BookmarkSetzen",
                                            "KV_WordAuto.BookmarkSetzen", "KV_WordAuto.BookmarkSetzen"));
}

TEST_F(WordAuto, MissingDocumentIsLoggedNotACrash) {
    honora::Session().Doc.reset();
    honora::Session().WordApp.reset();
    EXPECT_EQ(Label(honora::TabelleErmitteln("Honora_1", 0)), "nothing");
    EXPECT_THAT(desktop_->ModalRuns(), IsEmpty());
    EXPECT_THAT(LoggedPlaces(), ElementsAre("KV_WordAuto.TabelleErmitteln", "KV_WordAuto.TabelleErmitteln"));
}

}  // namespace
