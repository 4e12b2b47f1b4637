// The shared dialog frame driven like a user on a small test category: load
// sequence, read-back, focus and key rules, OK and Abbruch, Show's adapter.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework_fixture.h"
#include "platform/com/numtext.h"
#include "platform/forms/driver.h"
#include "plugin/common/icon_form.h"
#include "plugin/common/number_text.h"
#include "plugin/common/steps.h"
#include "plugin/component/dialog_registry.h"
#include "plugin/dialogs/framework/category_dialog.h"
#include "plugin/dialogs/framework/cell_io.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"
#include "plugin/dialogs/framework/share.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
namespace forms = kado::forms;
using forms::GridPlace;

// What the test category's hooks were called with, in order.
struct Calls {
    std::vector<std::string> log;
};

// Boundary points at 40 € times the larger factor, plus a base of 150 €.
honora::Category TestCategory(std::shared_ptr<Calls> calls) {
    honora::Category k;
    k.name = "frmKatTest";
    k.marker = "Honora_9";
    k.widths = {1.5, 8.3, 1.9, 3.3, 2.5};
    k.caption = "Probe nach Nr. 99";
    k.design = [](forms::Form& f) {
        f.Add<forms::MaskEdBox>("mskAGPo", GridPlace{0, 1}).SetMask("####");
        f.Add<forms::Label>("lblAGPo", GridPlace{0, 2}).SetCaption("0,00");
        f.Add<forms::MaskEdBox>("mskBoden", GridPlace{1, 1}).SetMask("####");
        f.Add<forms::Label>("lblFaktor", GridPlace{1, 2}).SetCaption("1,0");
        auto& cmb = f.Add<forms::ComboBox>("cmbKlassifizierung", GridPlace{2, 1});
        for (const auto& e : honora::kClassifications) cmb.AddItem(e);
        f.Add<forms::Label>("lblStrasse", GridPlace{2, 2}).SetCaption("0,0");
        f.Add<forms::CheckBox>("chkDoppelt", GridPlace{3, 1}).SetCaption("doppelt");
        f.Add<forms::Label>("lblSumme", GridPlace{4, 2}).SetCaption("0,0");
        honora::AddFrameControls(f, {GridPlace{5, 0}, GridPlace{5, 1}, GridPlace{5, 2}, GridPlace{6, 0},
                                     GridPlace{6, 1}, GridPlace{6, 2}, ""});
    };
    k.feeRule = [calls](forms::Form& f) {
        calls->log.push_back("GebührBerechnen(" + f.Get<forms::MaskEdBox>("mskAGPo").Text() + ")");
        double a = kado::com::PlainRead(f.Get<forms::MaskEdBox>("mskAGPo").Text()) * 40;
        if (f.Get<forms::CheckBox>("chkDoppelt").Value() == 1) a *= 2;
        double fw = honora::LabelValue(f, "lblFaktor");
        double fk = honora::LabelValue(f, "lblStrasse");
        honora::FeeRecord r;
        r.Add("lblAGPo", a);
        r.Add("lblSumme", a * (fw < fk ? fk : fw) + 150);
        return r;
    };
    // Each hook notes the count it sees, so the log shows whether the read-back came first.
    k.StartwerteSetzen = [calls](forms::Form& f) {
        calls->log.push_back("StartwerteSetzen(" + f.Get<forms::MaskEdBox>("mskAGPo").Text() + ")");
    };
    k.rows.titles = {{"Probe nach Nr. 99", {}, "", ""}};
    k.rows.blocks = {
        {.height = 2,
         .variants = {{.cells = {{.column = 1, .text = honora::Lit("30.22.1")},
                                 {.column = 3, .text = honora::FieldText("mskAGPo"),
                                  .restore = honora::IntoText("mskAGPo")},
                                 {.column = 5, .text = honora::Amount("lblAGPo"), .role = honora::Role::Excluded},
                                 {.row = 1, .column = 3, .text = honora::Caption("lblFaktor"),
                                  .restore = honora::IntoCaption("lblFaktor")}}}}},
        {.height = 2,
         .variants = {{.cells = {{.row = 1, .column = 2, .text = honora::Lit("Gebühr")},
                                 {.row = 1, .column = 5, .text = honora::Amount("lblSumme"),
                                  .role = honora::Role::Payable}}}}},
    };
    k.features = {.valueFactor = true, .classificationFactor = true};
    k.recalcOnLeave = {{"mskAGPo", "", ""}};
    k.recalcOnClick = {{"chkDoppelt", "", ""}};
    return k;
}

class CategoryDialogTest : public framework_test::DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        calls_ = std::make_shared<Calls>();
    }
    void TearDown() override {
        dialog_.reset();
        DialogTest::TearDown();
    }
    forms::Form& Open() {
        dialog_ = std::make_unique<honora::CategoryDialog>(TestCategory(calls_));
        dialog_->ShowModeless();
        return dialog_->GetForm();
    }
    template <class T>
    static T& Get(forms::Form& f, const char* name) {
        return f.Get<T>(name);
    }

    std::shared_ptr<Calls> calls_;
    std::unique_ptr<honora::CategoryDialog> dialog_;
};

TEST_F(CategoryDialogTest, LoadWithoutEarlierTableSetsUpTheWindowAndComputesStartValues) {
    auto& f = Open();
    ASSERT_TRUE(f.Loaded());
    EXPECT_TRUE(f.Visible());
    EXPECT_TRUE(dialog_->IsOpen());
    EXPECT_EQ(f.Caption(), "Probe nach Nr. 99");
    EXPECT_EQ(f.Icon(), honora::ComponentIcon());
    EXPECT_FALSE(f.Icon().Empty());
    EXPECT_EQ(Get<forms::Label>(f, "lblVersion").Caption(), "V 47");
    EXPECT_EQ(Get<forms::CommandButton>(f, "CommandEnde").Picture(), honora::ButtonPicture("OK"));
    EXPECT_EQ(Get<forms::CommandButton>(f, "CommandAbbruch").Picture(), honora::ButtonPicture("Abbruch"));
    EXPECT_NE(honora::ButtonPicture("OK"), honora::ButtonPicture("Abbruch"));
    EXPECT_EQ(Get<forms::MaskEdBox>(f, "mskBezug").Text(), "1000,00");
    EXPECT_EQ(Get<forms::Label>(f, "lblSumme").Caption(), "150,00");
    EXPECT_THAT(calls_->log, ElementsAre("StartwerteSetzen(    )", "GebührBerechnen(    )"));
    EXPECT_FALSE(dialog_->CurrentTable());
    EXPECT_EQ(f.MousePointer(), forms::MousePointer::Default);
    EXPECT_EQ(f.ParentWindow(), kMdi);
    EXPECT_EQ(f.ExStyle(), 0x140);
    EXPECT_THAT(desktop_->ModalRuns(), IsEmpty()) << "no fee block, no question";
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

TEST_F(CategoryDialogTest, WithoutAHostWindowTheDialogIsTopLevel) {
    honora::Session().hWndMDI = 0;
    auto& f = Open();
    EXPECT_EQ(f.ParentWindow(), 0);
    EXPECT_EQ(f.ExStyle(), 0x140);
}

TEST_F(CategoryDialogTest, FocusSelectsAllAndLeavingRecomputes) {
    auto& f = Open();
    driver_->Focus(f, "mskAGPo");
    EXPECT_EQ(Get<forms::MaskEdBox>(f, "mskAGPo").SelStart(), 0);
    EXPECT_EQ(Get<forms::MaskEdBox>(f, "mskAGPo").SelLength(), 4);
    driver_->Type(f, "mskAGPo", "6");
    EXPECT_EQ(Get<forms::Label>(f, "lblAGPo").Caption(), "  0,00") << "nothing is recomputed while typing";
    driver_->Leave(f);
    EXPECT_EQ(Get<forms::Label>(f, "lblAGPo").Caption(), "240,00");
    EXPECT_EQ(Get<forms::Label>(f, "lblSumme").Caption(), "390,00");

    // Land value first sets its factor, then recomputes with it.
    driver_->Set(f, "mskBoden", "150");
    EXPECT_EQ(Get<forms::Label>(f, "lblFaktor").Caption(), "2,25");
    EXPECT_EQ(Get<forms::Label>(f, "lblSumme").Caption(), "690,00");
    driver_->Set(f, "mskBoden", "5");
    EXPECT_EQ(Get<forms::Label>(f, "lblFaktor").Caption(), "1,0");

    driver_->Select(f, "cmbKlassifizierung", 0);
    EXPECT_EQ(Get<forms::Label>(f, "lblStrasse").Caption(), "1,5");
    EXPECT_EQ(Get<forms::Label>(f, "lblSumme").Caption(), "510,00");

    driver_->Click(f, "chkDoppelt");
    EXPECT_EQ(Get<forms::Label>(f, "lblAGPo").Caption(), "480,00");

    // A recalculation run again changes nothing.
    driver_->Focus(f, "mskAGPo");
    driver_->Leave(f);
    EXPECT_EQ(Get<forms::Label>(f, "lblSumme").Caption(), "870,00");
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

TEST_F(CategoryDialogTest, CommaInTheShareFieldFormatsItAndSelectsTheDecimals) {
    auto& f = Open();
    auto& basis = Get<forms::MaskEdBox>(f, "mskBezug");
    driver_->Type(f, "mskBezug", "12");
    EXPECT_EQ(basis.Text(), "12  ,  ");
    driver_->Key(f, "mskBezug", U',');
    EXPECT_EQ(basis.Text(), "  12,00");
    EXPECT_EQ(basis.SelStart(), 5);
    EXPECT_EQ(basis.SelLength(), 2);
    driver_->Type(f, "mskBezug", "5");
    EXPECT_EQ(basis.Text(), "  12,5 ");
    // Other keys are the field's own; entering the field again selects it all.
    driver_->Leave(f);
    driver_->Set(f, "mskBezug", "500");
    EXPECT_EQ(basis.Text(), "500 ,  ");
}

TEST_F(CategoryDialogTest, AbbruchUnloadsAndLeavesTheDocumentUntouched) {
    AddParagraph("Rechnung Nr. 17");
    const std::string before = Doc().Content().Text();
    auto& f = Open();
    for (const char* n : {"3", "12", "7"}) driver_->Set(f, "mskAGPo", n);
    driver_->Set(f, "mskBoden", "400");
    driver_->Click(f, "CommandAbbruch");
    EXPECT_FALSE(dialog_->IsOpen());
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(Doc().Content().Text(), before);
    EXPECT_EQ(Doc().GetTables().Count(), 0);
    EXPECT_EQ(Doc().GetComments().Count(), 0);
}

TEST_F(CategoryDialogTest, OkWritesTheTableAndReopeningReadsItBackAndReplacesIt) {
    AddParagraph("Rechnung Nr. 17");
    {
        auto& f = Open();
        driver_->Set(f, "mskAGPo", "6");
        driver_->Set(f, "mskBoden", "150");
        driver_->Set(f, "mskBezug", " 500");
        driver_->Click(f, "CommandEnde");
        EXPECT_FALSE(dialog_->IsOpen());
    }
    auto tables = Doc().GetTables();
    ASSERT_EQ(tables.Count(), 2) << "fee table and totals";
    auto fee = tables.Item(1);
    EXPECT_THAT(CellComments(fee, 1, 5), ElementsAre("Honora_9"));
    EXPECT_EQ(fee.GetRows().Count(), 8);
    EXPECT_EQ(CellText(fee, 3, 3), "6   ");
    EXPECT_EQ(CellText(fee, 8, 2), "Anteil in 1/1000");
    const long where = fee.GetRange().Start();

    // Reopen: the user picks the first fee block in the table choice.
    calls_->log.clear();
    driver_->ChooseNext("optTabelle(0)", "cmdEnde");
    auto& f = Open();
    EXPECT_THAT(desktop_->ModalRuns(), ElementsAre("G_frmTabelle"));
    ASSERT_TRUE(dialog_->CurrentTable());
    EXPECT_TRUE(dialog_->CurrentTable() == fee);
    EXPECT_THAT(calls_->log, ElementsAre("GebührBerechnen(6   )"));
    EXPECT_EQ(Get<forms::MaskEdBox>(f, "mskAGPo").Text(), "6   ");
    EXPECT_EQ(Get<forms::Label>(f, "lblFaktor").Caption(), "2,25");
    EXPECT_EQ(Get<forms::Label>(f, "lblSumme").Caption(), "690,00");
    EXPECT_EQ(Get<forms::MaskEdBox>(f, "mskBezug").Text(), " 500,00");

    driver_->Set(f, "mskAGPo", "8");
    driver_->Click(f, "CommandEnde");
    tables = Doc().GetTables();
    ASSERT_EQ(tables.Count(), 2);
    auto again = tables.Item(1);
    EXPECT_EQ(again.GetRange().Start(), where);
    EXPECT_EQ(CellText(again, 3, 3), "8   ");
    int markers = 0;
    for (int i = 1; i <= Doc().GetComments().Count(); ++i)
        markers += Doc().GetComments().Item(i).GetRange().Text() == "Honora_9";
    EXPECT_EQ(markers, 1);
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

TEST_F(CategoryDialogTest, StartValuesAlwaysRunBeforeTheReadBack) {
    AddParagraph("Rechnung");
    auto k = TestCategory(calls_);
    k.startValuesAlways = true;
    {
        honora::CategoryDialog d(k);
        d.ShowModeless();
        driver_->Set(d.GetForm(), "mskAGPo", "6");
        calls_->log.clear();
        driver_->Click(d.GetForm(), "CommandEnde");
    }
    calls_->log.clear();
    driver_->ChooseNext("optTabelle(0)", "cmdEnde");
    honora::CategoryDialog d(k);
    d.ShowModeless();
    EXPECT_THAT(calls_->log, ElementsAre("StartwerteSetzen(    )", "GebührBerechnen(6   )"));
}

TEST_F(CategoryDialogTest, AShortEarlierTableIsReadAsFarAsItGoesAndTheFeesAreStillComputed) {
    AddParagraph("Rechnung");
    // A table of three rows carrying the category's marker: row 4 and the share row are missing.
    auto t = AddTable(3, 5, "", "Honora_9");
    t.GetCell(3, 3).GetRange().InsertAfter("7   ");
    driver_->ChooseNext("optTabelle(0)", "cmdEnde");
    auto& f = Open();
    EXPECT_TRUE(dialog_->IsOpen());
    EXPECT_THAT(calls_->log, ElementsAre("GebührBerechnen(7   )"));
    EXPECT_EQ(Get<forms::Label>(f, "lblFaktor").Caption(), "1,0") << "the missing cell leaves the label";
    EXPECT_THAT(LoggedSteps(), ElementsAre("Rechnung.TabelleEinlesen:120", "Rechnung.ZelleEinlesen:100"));
    EXPECT_EQ(f.ParentWindow(), kMdi) << "the load sequence goes on";
}

TEST_F(CategoryDialogTest, TheShareComesBackOnlyFromAnAnteilRow) {
    auto& f = Open();
    auto t = AddTable(4, 5, "");
    t.GetCell(2, 2).GetRange().InsertAfter("Anteil in 1/1000");
    t.GetCell(2, 3).GetRange().InsertAfter("333,5");
    t.GetCell(3, 2).GetRange().InsertAfter("Gebühr");
    t.GetCell(3, 3).GetRange().InsertAfter("250");
    t.GetCell(4, 2).GetRange().InsertAfter("Anteil");
    t.GetCell(4, 3).GetRange().InsertAfter("500");
    const struct {
        int16_t row;
        const char* share;
    } cases[] = {{2, " 333,50"}, {3, "1000,00"}, {4, " 500,00"}, {9, "1000,00"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        Get<forms::MaskEdBox>(f, "mskBezug").SetText("1000,00");
        honora::ReadShareRow(f, t, c.row);
        EXPECT_EQ(Get<forms::MaskEdBox>(f, "mskBezug").Text(), c.share);
    }
    // The row beyond the table (a table without a share row) is only logged.
    EXPECT_THAT(LoggedSteps(), ElementsAre("Rechnung.ZelleEinlesen:100"));
}

TEST_F(CategoryDialogTest, ShowOpensOnceAndAfreshAfterClosing) {
    int made = 0;
    std::weak_ptr<honora::CategoryDialog> last;
    honora::RegisterDialog(0, [&]() -> std::shared_ptr<honora::ModelessDialog> {
        ++made;
        auto d = std::make_shared<honora::CategoryDialog>(TestCategory(calls_));
        last = d;
        return d;
    });
    ASSERT_TRUE(honora::OpenDialog(0));
    ASSERT_TRUE(honora::OpenDialog(0));
    EXPECT_EQ(made, 1);
    EXPECT_THAT(calls_->log, ElementsAre("StartwerteSetzen(    )", "GebührBerechnen(    )")) << "brought to the front only";

    // The user closes the window with its close box; the next Show loads anew.
    ASSERT_FALSE(last.expired());
    last.lock()->GetForm().Close();
    EXPECT_FALSE(last.lock()->IsOpen());
    calls_->log.clear();
    ASSERT_TRUE(honora::OpenDialog(0));
    EXPECT_EQ(made, 2);
    EXPECT_TRUE(last.lock()->IsOpen());
    EXPECT_THAT(calls_->log, ElementsAre("StartwerteSetzen(    )", "GebührBerechnen(    )"));
}

}  // namespace
