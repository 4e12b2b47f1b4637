// The fee dialogs and the table choice as they stand on screen: every control
// in view and clear of the others, amounts right-aligned in a fixed-pitch font
// with the fee column's right edges level, and Tab from the top down.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <set>
#include <vector>

#include "platform/forms/forms.h"
#include "plugin/dialogs/categories/frm_kat1.h"
#include "plugin/dialogs/categories/frm_kat2.h"
#include "plugin/dialogs/categories/frm_kat3.h"
#include "plugin/dialogs/categories/frm_kat4.h"
#include "plugin/dialogs/categories/frm_kat5.h"
#include "plugin/dialogs/framework/category_dialog.h"
#include "plugin/invoice/g_frm_tabelle.h"
#include "document_area_fixture.h"
#include "support/dialog_look.h"

namespace {

using kado::forms::Form;
using kado::testing::LayoutFaults;
using kado::testing::Names;
using kado::testing::ReachableByPlace;
using kado::testing::TabWalk;

class DialogLook : public integration_test::DocumentAreaTest {
protected:
    // The window's faults and its Tab order against the controls' places.
    void ExpectTidyWindow(Form& form) {
        QApplication::processEvents();
        EXPECT_EQ(LayoutFaults(*desktop_, form), std::vector<std::string>{}) << form.Name();
        const auto reach = ReachableByPlace(*desktop_, form);
        ASSERT_FALSE(reach.empty()) << form.Name();
        EXPECT_EQ(Names(TabWalk(reach.front(), reach.size())), Names(reach)) << form.Name();
    }

    // Fields of one mask are equally wide and combo boxes as wide as their
    // longest entry needs: neither stretches with its column.
    void ExpectNothingStretched(Form& form) {
        std::map<std::string, std::set<int>> widths;  // by mask
        for (auto* c : form.Controls()) {
            QWidget* w = desktop_->WidgetOf(*c);
            if (auto* masked = dynamic_cast<kado::forms::MaskEdBox*>(c)) widths[masked->Mask()].insert(w->width());
            if (auto* combo = qobject_cast<QComboBox*>(w)) {
                EXPECT_EQ(combo->width(), combo->sizeHint().width()) << form.Name() << " " << c->Key();
            }
        }
        for (const auto& [mask, seen] : widths) EXPECT_EQ(seen.size(), 1u) << form.Name() << " " << mask;
    }
};

// The fee column of each dialog: fees, sums and the factors beside them.
struct Look {
    honora::Category (*category)();
    std::vector<const char*> feeColumn;
};

const std::vector<Look> kLooks = {
    {honora::kat1::Kategorie,
     {"lblAusFlur", "lblNeuFlur", "lblNeu2", "lblNeu75", "lblNeu75_51", "lblNeu499", "lblGP", "lblZwischen", "lblAGP",
      "lblFaktor", "lblStrasse", "lblSumme"}},
    {honora::kat2::Kategorie,
     {"lblAusFlur", "lblNeuFlur", "lblGP", "lblAGP", "lblZwischen", "lblFaktor", "lblDichtefaktor", "lblSumme"}},
    {honora::kat3::Kategorie, {"lblAusFlur", "lblNeuFlur", "lblGP", "lblAGP", "lblZwischen", "lblFaktor", "lblSumme"}},
    {honora::kat4::Kategorie, {"lblGebühr100", "lblSumme30", "lblSumme"}},
    {honora::kat5::Kategorie,
     {"lblAGPo", "lblAGP", "lblZwischen", "lblFaktor", "lblStrasse", "lblZF", "lblSockel", "lblSumme"}},
};

TEST_F(DialogLook, CategoryDialogsShowAmountsInColumnsAndTabFromTheTopDown) {
    // German number text: what the computed labels and the unit rates show.
    const QRegularExpression amount(QStringLiteral("^\\s*-?\\d+(,\\d+)?$"));
    for (const Look& look : kLooks) {
        honora::CategoryDialog dialog(look.category());
        dialog.ShowModeless();
        Form& form = dialog.GetForm();
        SCOPED_TRACE(form.Name());
        QWidget* client = kado::testing::ClientOf(desktop_->WindowOf(form));
        ASSERT_NE(client, nullptr);
        ExpectTidyWindow(form);
        ExpectNothingStretched(form);

        int amounts = 0;
        for (QLabel* label : client->findChildren<QLabel*>()) {
            if (!amount.match(label->text()).hasMatch()) continue;
            ++amounts;
            EXPECT_TRUE(label->alignment() & Qt::AlignRight) << label->objectName().toStdString();
            EXPECT_TRUE(QFontInfo(label->font()).fixedPitch()) << label->objectName().toStdString();
        }
        EXPECT_GE(amounts, static_cast<int>(look.feeColumn.size()));

        std::set<int> rightEdges;
        for (const char* name : look.feeColumn) {
            auto* label = WidgetOf<QLabel>(form, name);
            ASSERT_NE(label, nullptr) << name;
            rightEdges.insert(kado::testing::RectIn(label, client).right());
        }
        EXPECT_EQ(rightEdges.size(), 1u) << "fee column right edges differ";

        for (const char* button : {"CommandEnde", "CommandAbbruch"})
            EXPECT_FALSE(WidgetOf<QPushButton>(form, button)->icon().isNull()) << button;
        form.Unload();
    }
}

TEST_F(DialogLook, TableChoiceKeepsItsOptionsInTheFrameAndTabsDownThem) {
    auto form = honora::G_frmTabelle();
    form->Show();
    ExpectTidyWindow(*form);
    QWidget* client = kado::testing::ClientOf(desktop_->WindowOf(*form));
    const QRect frame = kado::testing::RectIn(WidgetOf<QWidget>(*form, "fraTabelle"), client);
    const QRect ok = kado::testing::RectIn(WidgetOf<QPushButton>(*form, "cmdEnde"), client);
    for (const char* option : {"optNeu", "optTabelle(0)", "optTabelle(4)", "optAktTabelle"})
        EXPECT_TRUE(frame.contains(kado::testing::RectIn(WidgetOf<QWidget>(*form, option), client))) << option;
    // OK below the frame, at its right.
    EXPECT_GT(ok.top(), frame.bottom());
    EXPECT_LE(ok.right(), frame.right());
    EXPECT_GT(ok.left(), frame.center().x());
    form->Hide();
}

}  // namespace
