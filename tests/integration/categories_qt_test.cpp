// The four other fee dialogs in the host's document area: each opens as a
// subwindow with every control inside it, a count takes only digits, and
// leaving it with Tab recomputes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <filesystem>
#include <memory>

#include "support/shots.h"
#include "platform/forms/forms.h"
#include "platform/qt/qt_desktop.h"
#include "platform/word/word.h"
#include "plugin/component/session_context.h"
#include "plugin/dialogs/categories/frm_kat1.h"
#include "plugin/dialogs/categories/frm_kat2.h"
#include "plugin/dialogs/categories/frm_kat3.h"
#include "plugin/dialogs/categories/frm_kat4.h"
#include "plugin/dialogs/framework/category_dialog.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "document_area_fixture.h"

namespace {

using kado::forms::Form;

class CategoriesQt : public integration_test::DocumentAreaTest {};

TEST_F(CategoriesQt, EachDialogShowsAllItsControlsAndRecomputesOnLeaving) {
    struct Case {
        honora::Category (*category)();
        const char* field;
        const char* typed;  // the mask takes the digits only
        const char* kept;
        const char* shown;  // control that shows the result
        const char* result;
    } cases[] = {
        {honora::kat1::Definition, "mskAusFlur", "x2", "2   ", "lblAusFlur", "300,00"},
        {honora::kat2::Definition, "mskGesamt", "3-b", "3   ", "lblNeuFlur", "660,00"},
        {honora::kat3::Definition, "mskFlurstücke", "e,4", "4   ", "lblNeuFlur", "880,00"},
        {honora::kat4::Definition, "mskAnzahl", "1z2", "12  ", "mskAnzahl30", "   2"},
    };
    const auto dir = kado::testing::ShotsDir();
    std::filesystem::create_directories(dir);
    for (const auto& c : cases) {
        honora::CategoryDialog dialog(c.category());
        dialog.ShowModeless();
        Form& form = dialog.GetForm();
        auto* sub = qobject_cast<QMdiSubWindow*>(desktop_->WindowOf(form));
        ASSERT_NE(sub, nullptr) << form.Name();
        QApplication::processEvents();
        const QRect inside = sub->widget()->rect();
        for (auto* control : form.Controls()) {
            QWidget* w = desktop_->WidgetOf(*control);
            if (!w || !control->Visible()) continue;
            const QRect at(w->mapTo(sub->widget(), QPoint(0, 0)), w->size());
            EXPECT_TRUE(inside.contains(at)) << form.Name() << ": " << control->Key() << " lies outside the window";
        }
        auto* field = qobject_cast<QLineEdit*>(desktop_->WidgetOf(form.ItemByKey(c.field)));
        ASSERT_NE(field, nullptr);
        field->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(field, c.typed);
        EXPECT_EQ(field->text(), QString(c.kept)) << form.Name();
        QWidget* shown = desktop_->WidgetOf(form.ItemByKey(c.shown));
        auto text = [shown] {
            auto* label = qobject_cast<QLabel*>(shown);
            return label ? label->text() : qobject_cast<QLineEdit*>(shown)->text();
        };
        EXPECT_NE(text(), QString(c.result)) << form.Name() << " recomputed before the field was left";
        QTest::keyClick(field, Qt::Key_Tab);
        EXPECT_FALSE(field->hasFocus()) << form.Name();
        EXPECT_EQ(text(), QString(c.result)) << form.Name();
        EXPECT_TRUE(sub->grab().save(QString::fromStdString((dir / ("integration_" + form.Name() + ".png")).string())));
        form.Unload();
    }
}

}  // namespace
