// A new category sketched from the shared pieces alone: two schedule items,
// their fee rule and rows, registered for Show, confirmed and read back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "framework_fixture.h"
#include "plugin/common/number_text.h"
#include "plugin/dialogs/framework/category_dialog.h"
#include "plugin/dialogs/framework/design_kit.h"
#include "plugin/dialogs/framework/fee_items.h"
#include "plugin/dialogs/framework/frame_controls.h"

namespace {

using ::testing::IsEmpty;
namespace forms = kado::forms;
using forms::GridPlace;

// The new category's own data and rule: everything it adds besides its line in the list.
const std::array<honora::FeeItem, 2> kItems = {{
    {honora::ScheduleItem{"99.1", 25}, "Messpunkte", "txtPunkte", "mskPunkte", "lblPunkte"},
    {.item = {"99.2", -12.5}, .text = "Ermäßigung je Anschluss", .count = "mskAnschluss", .label = "lblAnschluss"},
}};

honora::Category Scratch() {
    honora::Category k;
    k.name = "frmKatNeu";
    k.marker = "Honora_6";
    k.widths = {1.5, 8.3, 1.9, 3.3, 2.5};
    k.caption = "Probe nach Nr. 99";
    k.design = [](forms::Form& f) {
        honora::CaptionArray text(f, "Label2");
        for (int i = 0; i < 2; ++i)
            honora::AddItemRow(f, text, kItems[static_cast<size_t>(i)], nullptr, kItems[static_cast<size_t>(i)].text, i);
        honora::AddAmount(f, "lblSumme", "0,00", {2, 5});
        honora::AddFrameControls(f, {GridPlace{3, 0}, GridPlace{3, 1}, GridPlace{3, 2}, GridPlace{4, 0},
                                     GridPlace{4, 1}, GridPlace{4, 2}, ""});
    };
    k.feeRule = [](forms::Form& f) {
        std::array<double, 2> counts{}, fees{};
        honora::ReadCounts(f, kItems, counts);
        const double sum = honora::ItemFees(kItems, counts, fees);
        return honora::ItemFeeRecord(kItems, fees, "lblSumme", sum);  // the items' sum is the fee
    };
    k.rows.titles = {{k.caption}};
    k.rows.blocks = {
        honora::TwoRowItem(kItems[0]),
        honora::OneRowItem(kItems[1], honora::CountAbove0(kItems[1].count)),
        {.height = 1,
         .variants = {{.cells = {{.column = 2, .text = honora::Lit("Gebühr")},
                                 {.column = 5, .text = honora::Amount("lblSumme"), .role = honora::Role::Payable}}}}},
    };
    k.recalcOnLeave = honora::CountTriggers(kItems);
    return k;
}

class ScratchCategoryTest : public framework_test::DialogTest {
protected:
    // Column 5 without the mark of the comment an excluded amount carries.
    static std::string Amount(const kado::word::Table& t, int row) {
        std::string text = CellText(t, row, 5);
        std::erase(text, '\x05');
        return text;
    }
    void SetUp() override {
        DialogTest::SetUp();
        honora::RegisterCategory(0, Scratch);
    }
    forms::Form& Shown() {
        auto form = desktop_->LastModeless();
        EXPECT_TRUE(form && form->Name() == "frmKatNeu");
        return *form;
    }
};

TEST_F(ScratchCategoryTest, ConfirmedItWritesItsItemsAndReopenedItGivesThemBack) {
    ASSERT_TRUE(honora::OpenDialog(0));
    auto& f = Shown();
    EXPECT_EQ(f.Get<forms::Label>("Label2", 5).Caption(), "-12,50") << "unit fee beside the count";
    driver_->Set(f, "mskPunkte", "3");
    driver_->Set(f, "mskAnschluss", "2");
    driver_->Set(f, "mskBezug", " 500");
    EXPECT_EQ(f.Get<forms::Label>("lblSumme").Caption(), " 50,00");
    driver_->Click(f, "CommandEnde");

    auto fee = Doc().GetTables().Item(1);
    const std::array<std::array<const char*, 4>, 3> rows = {{
        {"99.1", "3   ", "25,00 €", " 75,00 €"},
        {"99.2", "2   ", "-12,50 €", "-25,00 €"},
        {"", "", "", " 50,00 €"},
    }};
    const std::array<std::array<int, 2>, 3> at = {{{3, 4}, {6, 6}, {8, 8}}};  // number row, amount row
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(CellText(fee, at[i][0], 1), rows[i][0]) << i;
        EXPECT_EQ(CellText(fee, at[i][1], 3), rows[i][1]) << i;
        EXPECT_EQ(CellText(fee, at[i][1], 4), rows[i][2]) << i;
        EXPECT_EQ(Amount(fee, at[i][1]), rows[i][3]) << i;
    }

    driver_->ChooseNext("optTabelle(0)", "cmdEnde");
    ASSERT_TRUE(honora::OpenDialog(0));
    auto& again = Shown();
    EXPECT_EQ(again.Get<forms::MaskEdBox>("mskPunkte").Text(), "3   ");
    EXPECT_EQ(again.Get<forms::MaskEdBox>("mskAnschluss").Text(), "2   ");
    EXPECT_EQ(again.Get<forms::Label>("lblSumme").Caption(), " 50,00");
    EXPECT_EQ(again.Get<forms::MaskEdBox>("mskBezug").Text(), " 500,00");
    EXPECT_THAT(LoggedSteps(), IsEmpty());
}

}  // namespace
