// The fee dialogs and the table choice as they stand on screen: every control
// in view and clear of the others, nothing stretched, amounts right-aligned in
// a font whose figures line up, with the fee column's right edges level, Tab top down.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "document_area_fixture.h"
#include "platform/qt/amount_font.h"
#include "plugin/dialogs/categories/frm_kat1.h"
#include "plugin/dialogs/categories/frm_kat2.h"
#include "plugin/dialogs/categories/frm_kat3.h"
#include "plugin/dialogs/categories/frm_kat4.h"
#include "plugin/dialogs/categories/frm_kat5.h"
#include "plugin/dialogs/framework/category_dialog.h"
#include "plugin/invoice/g_frm_tabelle.h"
#include "support/dialog_look.h"

namespace {

using kado::forms::Form;

class DialogLook : public integration_test::DocumentAreaTest {
protected:
    void ExpectTidyWindow(Form& form) {
        QApplication::processEvents();
        EXPECT_EQ(kado::testing::LayoutFaults(*desktop_, form), std::vector<std::string>{}) << form.Name();
        const auto [visited, placed] = kado::testing::TabOrder(*desktop_, form);
        EXPECT_EQ(visited, placed) << form.Name();
        // Fields of one mask equally wide, combo boxes as their longest entry: neither stretches.
        std::map<std::string, std::set<int>> widths;
        for (auto* c : form.Controls()) {
            QWidget* w = desktop_->WidgetOf(*c);
            if (auto* masked = dynamic_cast<kado::forms::MaskEdBox*>(c)) widths[masked->Mask()].insert(w->width());
            if (auto* combo = qobject_cast<QComboBox*>(w)) {
                EXPECT_EQ(combo->width(), combo->sizeHint().width()) << form.Name();
            }
        }
        for (const auto& [mask, seen] : widths) EXPECT_EQ(seen.size(), 1u) << form.Name() << " " << mask;
    }
};

TEST_F(DialogLook, CategoryDialogsShowAmountsInColumnsAndTabFromTheTopDown) {
    // The fee column of each dialog: fees, sums and the factors beside them.
    const std::vector<std::pair<honora::Category (*)(), std::vector<const char*>>> looks = {
        {honora::kat1::Definition,
         {"lblAusFlur", "lblNeuFlur", "lblNeu2", "lblNeu75", "lblNeu75_51", "lblNeu499", "lblGP", "lblZwischen",
          "lblAGP", "lblFaktor", "lblStrasse", "lblSumme"}},
        {honora::kat2::Definition,
         {"lblAusFlur", "lblNeuFlur", "lblGP", "lblAGP", "lblZwischen", "lblFaktor", "lblDichtefaktor", "lblSumme"}},
        {honora::kat3::Definition,
         {"lblAusFlur", "lblNeuFlur", "lblGP", "lblAGP", "lblZwischen", "lblFaktor", "lblSumme"}},
        {honora::kat4::Definition, {"lblGebühr100", "lblSumme30", "lblSumme"}},
        {honora::kat5::Definition,
         {"lblAGPo", "lblAGP", "lblZwischen", "lblFaktor", "lblStrasse", "lblZF", "lblSockel", "lblSumme"}},
    };
    // German number text: what the computed labels and the unit rates show.
    const QRegularExpression amount(QStringLiteral("^\\s*-?\\d+(,\\d+)?$"));
    for (const auto& [category, feeColumn] : looks) {
        honora::CategoryDialog dialog(category());
        dialog.ShowModeless();
        Form& form = dialog.GetForm();
        SCOPED_TRACE(form.Name());
        QWidget* client = kado::testing::ClientOf(desktop_->WindowOf(form));
        ExpectTidyWindow(form);
        size_t amounts = 0;
        for (QLabel* label : client->findChildren<QLabel*>()) {
            if (!amount.match(label->text()).hasMatch()) continue;
            ++amounts;
            EXPECT_TRUE(label->alignment() & Qt::AlignRight) << label->objectName().toStdString();
            // What lines the figures up, not the font's flag: every character of an amount equally wide.
            EXPECT_TRUE(kado::qtview::EvenAmountAdvances(label->font())) << label->objectName().toStdString();
        }
        EXPECT_GE(amounts, feeColumn.size());
        std::set<int> rightEdges;
        for (const char* name : feeColumn)
            rightEdges.insert(kado::testing::RectIn(WidgetOf(form, name), client).right());
        EXPECT_EQ(rightEdges.size(), 1u) << "fee column right edges differ";
        for (const char* button : {"CommandEnde", "CommandAbbruch"})
            EXPECT_FALSE(WidgetOf<QPushButton>(form, button)->icon().isNull()) << button;
        form.Unload();
    }
}

TEST_F(DialogLook, TableChoiceHasOkBelowItsFrameAtTheRight) {
    auto form = honora::G_frmTabelle();
    form->Show();
    ExpectTidyWindow(*form);
    QWidget* client = kado::testing::ClientOf(desktop_->WindowOf(*form));
    const QRect frame = kado::testing::RectIn(WidgetOf(*form, "fraTabelle"), client);
    const QRect ok = kado::testing::RectIn(WidgetOf(*form, "cmdEnde"), client);
    EXPECT_GT(ok.top(), frame.bottom());
    EXPECT_TRUE(ok.left() > frame.center().x() && ok.right() <= frame.right());
    form->Hide();
}

}  // namespace
