// The e-invoice from the host's window: Datei > "E-Rechnung (XRechnung)
// exportieren ..." on a finished invoice writes the file, and refuses with the
// missing master data named, writing nothing.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/shots.h"
#include "host/gui/main_window.h"
#include "platform/dao/dao.h"
#include "support/host_home.h"
#include "support/file_bytes.h"

namespace kado::host::gui {
namespace {

namespace fs = std::filesystem;

const fs::path kShots = kado::testing::ShotsDir();

std::string Read(const fs::path& p) { return kado::testing::FileBytes(p); }

TEST(EInvoiceWindow, ExportsTheFinishedInvoiceOrSaysWhatIsMissing) {
    const kado::testing::TempDir tmp("kado-gui-erechnung");
    const fs::path& dir = tmp.Path();
    kado::testing::HostHome(dir);
    fs::create_directories(kShots);
    ASSERT_EQ(kado::testing::QuietInit(dir / "demo"), 0);
    const fs::path db = dir / "demo" / "kado.sqlite", doc = dir / "fertig.docx";
    // The invoice finished as kado-host run finishes it: Grenzfeststellung's demo job confirmed.
    const std::string run = "'" + (fs::path(KADO_BINARY_DIR) / "bin" / "kado-host").string() + "' run --db '" +
                            db.string() + "' --doc '" + (dir / "demo" / "Rechnung.docx").string() + "' --out '" +
                            doc.string() + "' --invoice 1 --category 0 --do 'set mskAGPo=12' --do 'set mskAGP=3' "
                            "--do 'set mskBoden=250' --do ok > '" + (dir / "run.log").string() + "' 2>&1";
    ASSERT_EQ(std::system(run.c_str()), 0) << Read(dir / "run.log");

    auto window = std::make_unique<MainWindow>(1);
    window->resize(1100, 700);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ASSERT_TRUE(window->OpenFiles(db, doc));
    ASSERT_TRUE(window->SetInvoice(1));

    // The entry in the file menu, as the clerk finds it.
    QMenu* file = window->menuBar()->actions().front()->menu();
    ASSERT_NE(file, nullptr);
    QAction* entry = nullptr;
    for (QAction* a : file->actions())
        if (a->text().remove('&') == QStringLiteral("E-Rechnung (XRechnung) exportieren ...")) entry = a;
    ASSERT_NE(entry, nullptr);
    file->popup(window->mapToGlobal(QPoint(0, window->menuBar()->height())));
    file->setActiveAction(entry);
    QApplication::processEvents();
    EXPECT_TRUE(file->grab().save(QString::fromStdString((kShots / "gui-erechnung-menu.png").string())));
    file->hide();

    const fs::path xml = dir / "fertig.xml";
    EXPECT_TRUE(window->ExportEInvoice(xml));
    EXPECT_EQ(window->statusBar()->currentMessage(), QStringLiteral("E-Rechnung geschrieben: ") + QString::fromStdString(xml.string()));
    EXPECT_NE(Read(xml).find("<cbc:PayableAmount currencyID=\"EUR\">1785.00</cbc:PayableAmount>"), std::string::npos);
    QApplication::processEvents();
    EXPECT_TRUE(window->grab().save(QString::fromStdString((kShots / "gui-erechnung-export.png").string())));

    // Master data gone: a message naming the fields, and no file.
    {
        auto d = std::make_shared<dao::Workspace>()->OpenDatabase(db.string());
        d->Execute("UPDATE Büro SET IBAN = NULL");
        d->Execute("UPDATE Auftraggeber SET LeitwegID = ''");
    }
    const fs::path refused = dir / "abgelehnt.xml";
    EXPECT_FALSE(window->ExportEInvoice(refused));
    EXPECT_FALSE(fs::exists(refused));
    QMessageBox* box = window->findChild<QMessageBox*>(QStringLiteral("meldung"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("E-Rechnung nicht erstellt, es fehlen: Büro.IBAN, Auftraggeber.LeitwegID"));
    QApplication::processEvents();
    EXPECT_TRUE(box->grab().save(QString::fromStdString((kShots / "gui-erechnung-abgelehnt.png").string())));
    box->close();
    window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace kado::host::gui
