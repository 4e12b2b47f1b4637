// Fixture of the dialogs' Qt tests: the host's main window with a document
// area registered as hWndMDI 4711, on a Qt desktop in the session.
#pragma once

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QTest>
#include <memory>
#include <string_view>

#include "platform/forms/forms.h"
#include "platform/qt/qt_desktop.h"
#include "plugin/component/session_context.h"
#include "plugin/invoice/invoice_fixture.h"

namespace integration_test {

class DocumentAreaTest : public invoice_test::InvoiceTest {
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

    template <class W = QWidget>
    W* WidgetOf(kado::forms::Form& form, std::string_view key) {
        return qobject_cast<W*>(desktop_->WidgetOf(form.ItemByKey(key)));
    }

    QMainWindow window_;
    QMdiArea* area_ = new QMdiArea;  // owned by the window
    std::shared_ptr<kado::qtview::QtDesktop> desktop_ = std::make_shared<kado::qtview::QtDesktop>();
};

}  // namespace integration_test
