// The table choice of a category dialog on a real document, answered by mouse
// in the real modal Qt window of G_frmTabelle.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "support/shots.h"
#include "platform/forms/forms.h"
#include "platform/qt/qt_desktop.h"
#include "platform/word/word.h"
#include "plugin/component/session_context.h"
#include "plugin/invoice/invoice_fixture.h"
#include "plugin/invoice/kv_word_auto.h"

namespace {

using kado::forms::Form;
using kado::word::Document;

class TableChoiceQt : public invoice_test::InvoiceTest {
protected:
    void SetUp() override {
        InvoiceTest::SetUp();
        honora::Session().Desktop = desktop_;
    }
    void TearDown() override {
        InvoiceTest::TearDown();
        desktop_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Two fee blocks of frmKat1 with an unmarked table between them, through a
    // DOCX save and load as the host hands documents over.
    void UseInvoiceWithTwoFeeBlocks() {
        auto doc = Document::New();
        invoice_test::AddFeeTable(*doc, {{"111,00", "Honora_1"}, {"11,00", "no"}});
        invoice_test::AddFeeTable(*doc, {{"222,00", std::nullopt}});
        invoice_test::AddFeeTable(*doc, {{"333,00", "Honora_1"}, {"33,00", "no"}});
        auto reopened = Document::FromBytes(doc->ToBytes());
        honora::Session().Doc = reopened;
        honora::Session().WordApp = reopened->GetApplication();
        reopened->GetRange(0, 0).Select();
    }

    template <class W>
    W* WidgetOf(Form& form, std::string_view key) {
        return dynamic_cast<W*>(desktop_->WidgetOf(form.ItemByKey(key)));
    }

    std::shared_ptr<kado::qtview::QtDesktop> desktop_ = std::make_shared<kado::qtview::QtDesktop>();
};

TEST_F(TableChoiceQt, SecondEntryChosenByMouseGivesTheSecondMarkedTable) {
    UseInvoiceWithTwoFeeBlocks();
    bool answered = false;
    QTimer::singleShot(0, [&] {
        auto form = honora::Session().G_frmTabelle;
        ASSERT_TRUE(form);
        QWidget* window = desktop_->WindowOf(*form);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(window->windowTitle(), QString("Tabellenwahl"));
        // Two fee blocks and the cursor in text: the first two entries and nothing else.
        EXPECT_TRUE(WidgetOf<QRadioButton>(*form, "optNeu")->isChecked());
        EXPECT_TRUE(WidgetOf<QRadioButton>(*form, "optTabelle(0)")->isEnabled());
        EXPECT_TRUE(WidgetOf<QRadioButton>(*form, "optTabelle(1)")->isEnabled());
        EXPECT_FALSE(WidgetOf<QRadioButton>(*form, "optTabelle(2)")->isEnabled());
        EXPECT_FALSE(WidgetOf<QRadioButton>(*form, "optAktTabelle")->isEnabled());
        auto* ok = WidgetOf<QPushButton>(*form, "cmdEnde");
        ASSERT_NE(ok, nullptr);
        EXPECT_FALSE(ok->icon().isNull());

        const auto dir = kado::testing::ShotsDir();
        std::filesystem::create_directories(dir);
        EXPECT_TRUE(window->grab().save(QString::fromStdString((dir / "integration_g_frmTabelle.png").string())));

        auto* second = WidgetOf<QRadioButton>(*form, "optTabelle(1)");
        QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(6, second->height() / 2));
        EXPECT_TRUE(second->isChecked());
        QTest::mouseClick(ok, Qt::LeftButton);
        answered = true;
    });
    // A failed answer must end the test, not hang it in the modal wait.
    QTimer::singleShot(20000, [] {
        if (auto form = honora::Session().G_frmTabelle) form->Hide();
    });

    const auto table = honora::TabelleErmitteln("Honora_1", 0);

    EXPECT_TRUE(answered);
    ASSERT_TRUE(table);
    // The cell holds the amount and the reference mark of its marker comment.
    std::string amount = invoice_test::CellText(table, 1, 5);
    std::erase(amount, '\x05');
    EXPECT_EQ(amount, "333,00");
    // Hidden, not unloaded: the choice stays for the next use.
    auto form = honora::Session().G_frmTabelle;
    EXPECT_TRUE(form->Loaded());
    EXPECT_FALSE(desktop_->WindowOf(*form)->isVisible());
    EXPECT_TRUE(LoggedPlaces().empty());
}

}  // namespace
