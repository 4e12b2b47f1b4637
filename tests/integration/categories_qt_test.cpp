// The four other fee dialogs in the host's document area: each opens as a
// subwindow with every control inside it, and a count typed and left recomputes.
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
#include "plugin/invoice/invoice_fixture.h"

namespace {

using kado::forms::Form;

class CategoriesQt : public invoice_test::InvoiceTest {
protected:
    void SetUp() override {
        InvoiceTest::SetUp();
        window_.setCentralWidget(area_);
        window_.resize(1400, 1000);
        window_.show();
        window_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
        desktop_->RegisterDocumentArea(4711, area_);
        honora::Session().Desktop = desktop_;
        honora::Session().hWndMDI = 4711;
    }
    void TearDown() override {
        InvoiceTest::TearDown();
        desktop_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QMainWindow window_;
    QMdiArea* area_ = new QMdiArea;  // owned by the window
    std::shared_ptr<kado::qtview::QtDesktop> desktop_ = std::make_shared<kado::qtview::QtDesktop>();
};

TEST_F(CategoriesQt, EachDialogShowsAllItsControlsAndRecomputesOnLeaving) {
    struct Case {
        honora::Category (*category)();
        const char* field;
        const char* typed;
        const char* shown;  // control that shows the result
        const char* result;
    } cases[] = {
        {honora::kat1::Kategorie, "mskAusFlur", "2", "lblAusFlur", "300,00"},
        {honora::kat2::Kategorie, "mskGesamt", "3", "lblNeuFlur", "660,00"},
        {honora::kat3::Kategorie, "mskFlurstücke", "4", "lblNeuFlur", "880,00"},
        {honora::kat4::Kategorie, "mskAnzahl", "12", "mskAnzahl30", "   2"},
    };
    const auto dir = std::filesystem::path(KADO_BINARY_DIR) / "test-output";
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
        desktop_->WidgetOf(form.ItemByKey(honora::ctl::kBezug))->setFocus(Qt::TabFocusReason);
        QWidget* shown = desktop_->WidgetOf(form.ItemByKey(c.shown));
        const QString text = qobject_cast<QLabel*>(shown) ? qobject_cast<QLabel*>(shown)->text()
                                                          : qobject_cast<QLineEdit*>(shown)->text();
        EXPECT_EQ(text, QString(c.result)) << form.Name();
        EXPECT_TRUE(sub->grab().save(QString::fromStdString((dir / ("integration_" + form.Name() + ".png")).string())));
        form.Unload();
    }
}

}  // namespace
