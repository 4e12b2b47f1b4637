// A declared fee table on a small category: optional blocks close up and come
// back from where they were written; unsound declarations are refused at registration.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework_fixture.h"
#include "plugin/dialogs/framework/category_check.h"
#include "plugin/dialogs/framework/category_dialog.h"
#include "plugin/dialogs/framework/fee_content.h"
#include "plugin/dialogs/framework/fee_table_frame.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/read_back.h"

namespace {

namespace forms = kado::forms;
using forms::GridPlace;
using namespace honora;

// Parcels (always), an optional reduction that closes up when empty, the fee.
Category Probe() {
    Category k;
    k.name = "frmKatProbe";
    k.marker = "Honora_8";
    k.widths = {1.5, 8.3, 1.9, 3.3, 2.5};
    k.design = [](forms::Form& f) {
        f.Add<forms::MaskEdBox>("mskFlur", GridPlace{0, 0}).SetMask("####");
        f.Add<forms::MaskEdBox>("mskKlein", GridPlace{1, 0}).SetMask("####");
        f.Add<forms::TextBox>("txtKlein", GridPlace{1, 1});
        f.Add<forms::Label>("lblSumme", GridPlace{2, 0}).SetCaption("150,00");
        AddFrameControls(f, {GridPlace{3, 0}, GridPlace{3, 1}, GridPlace{3, 2}, GridPlace{4, 0}, GridPlace{4, 1},
                             GridPlace{4, 2}, ""});
    };
    k.feeRule = [](forms::Form&) {
        FeeRecord r;
        r.Add("lblSumme", 150);
        return r;
    };
    k.rows.titles = {{"Probe", {}, "", ""}};
    k.rows.blocks = {
        {.height = 2,
         .variants = {{.cells = {{.column = 1, .text = Lit("30.21.1")},
                                 {.column = 3, .text = FieldText("mskFlur"), .restore = IntoText("mskFlur")}}}}},
        {.height = 3,
         .variants = {{.when = CountAbove0("mskKlein"),
                       .cells = {{.column = 1, .text = Lit("30.21.2.3")},
                                 {.row = 1, .column = 2, .text = FieldText("txtKlein"), .restore = IntoText("txtKlein")},
                                 {.row = 1, .column = 3, .text = FieldText("mskKlein"),
                                  .restore = IntoText("mskKlein")}}}}},
        {.height = 1,
         .variants = {{.cells = {{.column = 1, .text = Lit("30.21.3")},
                                 {.column = 5, .text = Amount("lblSumme"), .role = Role::Payable}}}}},
    };
    return k;
}

class FeeRowsTest : public framework_test::FrameworkTest {
protected:
    std::shared_ptr<forms::Form> Form(const Category& k) {
        auto f = forms::Form::Create(std::make_shared<forms::HeadlessDesktop>(), k.name, k.design);
        f->Load();
        return f;
    }
};

TEST_F(FeeRowsTest, AnOptionalBlockClosesUpAndIsReadBackOnlyWhereItWasWritten) {
    const struct {
        const char* small;
        int16_t rows;
        int16_t feeRow;
    } cases[] = {{"2   ", 8, 8}, {"    ", 5, 5}};
    const Category k = Probe();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.small);
        auto in = Form(k);
        in->Get<forms::MaskEdBox>("mskFlur").SetText("3   ");
        in->Get<forms::MaskEdBox>("mskKlein").SetText(c.small);
        in->Get<forms::TextBox>("txtKlein").SetText("Splitter");
        in->Get<forms::MaskEdBox>(ctl::kBezug).SetText("1000,00");
        const FeeTable content = FeeTableOf(k, *in, k.feeRule(*in));
        EXPECT_EQ(content.rows, c.rows);
        EXPECT_EQ(content.fee, "150,00");
        ASSERT_FALSE(content.cells.empty());
        EXPECT_EQ(content.cells.back().row, c.feeRow);
        EXPECT_TRUE(content.cells.back().payable);

        auto table = WriteFeeTable(k, content, {});
        ASSERT_TRUE(table);
        auto out = Form(k);
        TabelleEinlesen(k.rows, *out, table);
        EXPECT_EQ(out->Get<forms::MaskEdBox>("mskFlur").Text(), "3   ");
        EXPECT_EQ(out->Get<forms::MaskEdBox>("mskKlein").Text(), c.small);
        EXPECT_EQ(out->Get<forms::TextBox>("txtKlein").Text(), *c.small == '2' ? "Splitter" : "");
        table.Delete();
    }
    // Only the share row, which a whole job lacks, is missing.
    EXPECT_THAT(LoggedSteps(), ::testing::ElementsAre("Rechnung.ZelleEinlesen:100", "Rechnung.ZelleEinlesen:100"));
}

TEST_F(FeeRowsTest, AnUnsoundCategoryIsRefusedWhenItRegisters) {
    const struct {
        const char* name;
        void (*spoil)(Category&);
        const char* fault;
    } cases[] = {
        {"value factor without its field", [](Category& k) { k.features.valueFactor = true; },
         "frmKatProbe: value factor field 'mskBoden' is missing from the design"},
        {"two fees",
         [](Category& k) { k.rows.blocks[0].variants[0].cells[0].role = Role::Payable; },
         "frmKatProbe: the rows need exactly one fee cell, not 2"},
        {"restore into nothing",
         [](Category& k) { k.rows.blocks[1].variants[0].cells[1].restore = IntoText("txtFehlt"); },
         "frmKatProbe: field 'txtFehlt' is missing from the design"},
        {"cell below its block", [](Category& k) { k.rows.blocks[2].variants[0].cells[1].row = 1; },
         "frmKatProbe: a cell outside its block"},
        {"an amount the rule does not give",
         [](Category& k) { k.rows.blocks[2].variants[0].cells[1].text = Amount("lblFehlt"); },
         "frmKatProbe: the fee rule gives no amount 'lblFehlt'"},
        {"an amount without its control",
         [](Category& k) {
             k.feeRule = [](forms::Form&) {
                 FeeRecord r;
                 r.Add("lblSumme", 150);
                 r.Add("lblFehlt", 1);
                 return r;
             };
         },
         "frmKatProbe: amount control 'lblFehlt' is missing from the design"},
        {"two triggers, one place",
         [](Category& k) {
             k.recalcOnLeave = {{"mskFlur", "Rechnung", "mskFlur"}, {"mskKlein", "Rechnung", "mskFlur"}};
         },
         "frmKatProbe: two triggers log as Rechnung.mskFlur"},
    };
    EXPECT_THAT(Defects(Probe()), ::testing::IsEmpty());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Category k = Probe();
        c.spoil(k);
        EXPECT_THAT(Defects(k), ::testing::Contains(c.fault));
        EXPECT_THROW(RegisterCategory(1, [k] { return k; }), std::logic_error);
    }
}

}  // namespace
