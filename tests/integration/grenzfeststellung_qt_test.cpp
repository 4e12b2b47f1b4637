// The Grenzfeststellung dialog as a user meets it: a subwindow of the host's
// document area, typed into with the keyboard and left with the mouse.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <memory>

#include "support/shots.h"
#include "platform/forms/forms.h"
#include "platform/qt/qt_desktop.h"
#include "platform/word/word.h"
#include "plugin/component/session_context.h"
#include "plugin/dialogs/categories/frm_kat5.h"
#include "plugin/dialogs/framework/category_dialog.h"
#include "document_area_fixture.h"

namespace {

using kado::forms::Form;
using kado::word::Document;

class GrenzfeststellungQt : public integration_test::DocumentAreaTest {
protected:
    void SetUp() override {
        DocumentAreaTest::SetUp();
        auto& c = honora::Session();
        doc_ = Document::New();
        doc_->Content().InsertBefore("Rechnung\r");
        c.Doc = doc_;
        c.WordApp = doc_->GetApplication();
    }

    std::shared_ptr<Document> doc_;
};

TEST_F(GrenzfeststellungQt, TypedCountsRecomputeOnLeavingAndAbbruchWritesNothing) {
    const std::string before = doc_->Content().Text();
    honora::CategoryDialog dialog(honora::kat5::Definition());
    dialog.ShowModeless();
    Form& form = dialog.GetForm();
    // The dialog lives in the document area, not as a window of its own.
    auto* sub = qobject_cast<QMdiSubWindow*>(desktop_->WindowOf(form));
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->mdiArea(), area_);
    EXPECT_EQ(sub->windowTitle(), QString("Grenzfeststellung nach Nr. 30.6"));
    EXPECT_EQ(form.ExStyle(), 0x140);

    // Keys typed into the count change no fee until the field is left; the user
    // tabs in, so the field's select-all on entry stands.
    auto* count = qobject_cast<QLineEdit*>(WidgetOf(form, "mskAGPo"));
    auto* marked = qobject_cast<QLineEdit*>(WidgetOf(form, "mskAGP"));
    auto* fee = qobject_cast<QLabel*>(WidgetOf(form, "lblAGPo"));
    ASSERT_TRUE(count && marked && fee);
    count->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(count, "1x2");  // the mask takes no letter
    EXPECT_EQ(count->text(), QString("12  "));
    EXPECT_EQ(fee->text(), QString("  0,00"));
    marked->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(fee->text(), QString("480,00"));
    QTest::keyClicks(marked, "3");
    count->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(qobject_cast<QLabel*>(WidgetOf(form, "lblSumme"))->text(), QString("750,00"));

    const auto dir = kado::testing::ShotsDir();
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(sub->grab().save(QString::fromStdString((dir / "integration_frmKat5.png").string())));

    // Abbruch closes the dialog and leaves the document as it was.
    QTest::mouseClick(qobject_cast<QPushButton*>(WidgetOf(form, "CommandAbbruch")), Qt::LeftButton);
    EXPECT_FALSE(dialog.IsOpen());
    EXPECT_EQ(doc_->Content().Text(), before);
    EXPECT_EQ(doc_->GetTables().Count(), 0);
}

}  // namespace
