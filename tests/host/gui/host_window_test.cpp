// kado-host's window as a clerk uses it: fee dialogs opened from the menu
// inside the document area, filled in with keys, tabs and clicks, confirmed or
// cancelled, then the preview, the status line, the saved invoice and the
// invoice record looked at.
#include "host/gui/main_window.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextTable>
#include <QAbstractTextDocumentLayout>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <optional>
#include <tuple>
#include <vector>

#include "host/demo.h"
#include "host/gui/invoice_preview.h"
#include "host/gui/pdf_export.h"
#include "platform/qt/amount_font.h"
#include "cups_support.h"
#include "host/print_support.h"
#include "platform/word/page_estimate.h"
#include "support/host_home.h"
#include "support/shots.h"

namespace kado::host::gui {
namespace {

namespace fs = std::filesystem;

const fs::path kShots = kado::testing::ShotsDir();

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Key by key; letters beyond ASCII come as the keyboard sends them, text without a key code.
void TypeKeys(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        if (ch.unicode() < 128) {
            QTest::keyClick(w, static_cast<char>(ch.unicode()));
            continue;
        }
        for (auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent key(type, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(w, &key);
        }
    }
}

// The demo inputs of a category, as the main job plays them.
std::vector<Action> Job(int category) { return DemoJob(fs::path(KADO_SOURCE_DIR) / "host" / "demo_jobs.sh", category); }

class HostWindow : public ::testing::Test {
protected:
    void SetUp() override {
        kado::testing::HostHome(dir_);
        fs::create_directories(kShots);
        NewWindow();
        Demo("demo");
    }

    void NewWindow() {
        window_ = std::make_unique<MainWindow>(1);
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }
    void TearDown() override {
        window_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Fresh demo data in DIR/name, opened with invoice record 1.
    void Demo(const std::string& name) {
        ASSERT_EQ(kado::testing::QuietInit(dir_ / name), 0);
        db_ = dir_ / name / "kado.sqlite";
        doc_ = dir_ / name / "Rechnung.docx";
        ASSERT_TRUE(window_->OpenFiles(db_, doc_));
        ASSERT_TRUE(window_->SetInvoice(1));
    }

    // The category chosen in the "Gebühren" menu; the dialog it opened in the document area.
    QMdiSubWindow* Open(int index) {
        window_->CategoryAction(index)->trigger();
        QApplication::processEvents();
        return window_->DocumentArea()->activeSubWindow();
    }

    static QWidget* Widget(QMdiSubWindow* dialog, const std::string& key) {
        auto* w = dialog->findChild<QWidget*>(Q(key));
        EXPECT_NE(w, nullptr) << dialog->objectName().toStdString() << " has no " << key;
        return w;
    }

    // A field entered by tabbing, typed key by key and left with Tab, or a
    // check box or option clicked on its box.
    static void Play(QMdiSubWindow* dialog, const Action& a) {
        QWidget* w = Widget(dialog, a.control);
        if (!w) return;
        if (a.kind == Action::Kind::Set) {
            w->setFocus(Qt::TabFocusReason);
            ASSERT_TRUE(w->hasFocus()) << a.control;
            TypeKeys(w, Q(a.text));
            QTest::keyClick(w, Qt::Key_Tab);
            EXPECT_FALSE(w->hasFocus()) << a.control << " kept the focus after Tab";
        } else if (a.kind == Action::Kind::Click) {
            QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(8, w->height() / 2));
        } else {
            ADD_FAILURE() << "not a user action of the demo jobs: " << a.control;
        }
    }

    static void Press(QMdiSubWindow* dialog, const char* button) {
        QPointer<QMdiSubWindow> alive(dialog);
        QTest::mouseClick(qobject_cast<QPushButton*>(Widget(dialog, button)), Qt::LeftButton);
        QTRY_VERIFY(alive.isNull() || alive->isHidden());
        QApplication::processEvents();  // the window looks at the document once the dialog has gone
    }

    // The whole window as the clerk sees it, once pending layout has run.
    void Shot(const std::string& name) const {
        QApplication::processEvents();
        EXPECT_TRUE(window_->grab().save(Q((kShots / name).string()))) << name;
    }

    std::shared_ptr<dao::Recordset> Record() const { return window_->Session()->Invoice(1); }

    // A key as the keyboard sends it, to whatever has the focus.
    static void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr) << "no widget has the focus";
        QTest::keyClick(focus, key, mods);
        QApplication::processEvents();
    }

    // Runs `user` once the next modal window (a file dialog, "Drucken", "Rechnung wählen") is up.
    template <class W = QWidget>
    static void WhenShown(const char* name, std::function<void(W*)> user) {
        QTimer::singleShot(0, [name, user] {
            W* found = nullptr;
            // As a person does: wait until it is up and has the keyboard.
            QTRY_VERIFY_WITH_TIMEOUT((found = Top<W>(name)) != nullptr && found->isActiveWindow(), 5000);
            user(found);
        });
    }
    template <class W = QWidget>
    static W* Top(const char* name) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* t = qobject_cast<W*>(w);
            if (!t || !w->isVisible()) continue;
            // The window that holds the named widget itself, not one that owns that window.
            const QWidget* named = *name ? w->findChild<QWidget*>(name) : nullptr;
            if (!*name || w->objectName() == QLatin1String(name) || (named && named->window() == w)) return t;
        }
        return nullptr;
    }
    QString Status() const { return window_->statusBar()->currentMessage(); }

    // Answers the next question box with the button whose text it names.
    static void Answer(const QString& button) {
        QTimer::singleShot(0, [button] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (!box || !box->isVisible()) continue;
                for (QAbstractButton* b : box->buttons())
                    if (b->text() == button) QTest::mouseClick(b, Qt::LeftButton);
            }
        });
    }

    kado::testing::TempDir tmp_{"kado-gui"};
    const fs::path dir_ = tmp_.Path();
    fs::path db_, doc_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(HostWindow, EachCategorysDemoJobConfirmedInTheWindowLandsInInvoiceRecordAndPreview) {
    struct Case {
        int index;
        const char* form;
        const char* fee;  // lblSumme, as the fee table has it too
        double net, gross;
        const char* figures;
    } cases[] = {
        {0, "frmKat5", "1500,00", 150000, 178500, "netto 1.500,00 €   brutto 1.785,00 €"},
        {1, "frmKat4", "480,00", 48000, 57120, "netto 480,00 €   brutto 571,20 €"},
        {2, "frmKat3", "2265,00", 226500, 269535, "netto 2.265,00 €   brutto 2.695,35 €"},
        {3, "frmKat2", "4752,00", 475200, 565488, "netto 4.752,00 €   brutto 5.654,88 €"},
        {4, "frmKat1", "2880,00", 288000, 342720, "netto 2.880,00 €   brutto 3.427,20 €"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        Demo("kat" + std::to_string(c.index));
        QMdiSubWindow* dialog = Open(c.index);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), QString(c.form));
        EXPECT_EQ(dialog->mdiArea(), window_->DocumentArea());
        for (const Action& a : Job(c.index)) Play(dialog, a);
        EXPECT_EQ(qobject_cast<QLabel*>(Widget(dialog, "lblSumme"))->text().trimmed(), QString(c.fee));
        EXPECT_FALSE(window_->isWindowModified());
        Shot("gui-" + std::string(c.form) + ".png");

        Press(dialog, "CommandEnde");
        EXPECT_TRUE(window_->isWindowModified());
        EXPECT_TRUE(window_->Figures()->text().contains(QString(c.figures))) << window_->Figures()->text().toStdString();
        EXPECT_EQ(Record()->Field("NettoRechnung").ToDouble(), c.net);
        EXPECT_EQ(Record()->Field("Brutto").ToDouble(), c.gross);
        // The preview shows the fee table just written, scrolled into view.
        InvoicePreview* preview = window_->Preview();
        const auto ids = preview->TableIds();
        ASSERT_FALSE(ids.empty());
        QTextTable* fees = preview->TableOf(ids.front());
        QTextCursor all(fees->firstCursorPosition());
        all.setPosition(fees->lastPosition(), QTextCursor::KeepAnchor);
        EXPECT_TRUE(all.selectedText().contains(QString(c.fee))) << all.selectedText().toStdString();
        const int top = preview->cursorRect(fees->firstCursorPosition()).top();
        EXPECT_TRUE(top >= 0 && top < preview->viewport()->height()) << top;
        // The page fits the preview's width; both tables are as wide as the text area.
        EXPECT_EQ(preview->horizontalScrollBar()->maximum(), 0);
        const auto* layout = preview->document()->documentLayout();
        EXPECT_NEAR(layout->frameBoundingRect(fees).width(),
                    layout->frameBoundingRect(preview->TableOf(ids.back())).width(), 1.0);
        if (c.index == 0) {
            Shot("gui-main-preview.png");
            // The markers on request: each where its comment is anchored.
            window_->MarkersAction()->trigger();
            const QString marked = preview->toPlainText();
            for (const char* marker : {"kadoStart", "Honora_5", "RE_Summe", "kadoBrutto"})
                EXPECT_TRUE(marked.contains(QStringLiteral("\u2039") + marker + QStringLiteral("\u203a"))) << marker;
            Shot("gui-main-preview-markers.png");
            window_->MarkersAction()->trigger();
            EXPECT_FALSE(preview->toPlainText().contains(QStringLiteral("\u2039")));
        }

        for (QAction* a : window_->findChildren<QAction*>())
            if (a->text() == QStringLiteral("&Speichern")) a->trigger();
        EXPECT_FALSE(window_->isWindowModified());
        const auto saved = word::Document::Open(doc_);
        EXPECT_NE(saved->Content().Text().find(c.fee), std::string::npos);
        EXPECT_EQ(saved->GetTables().Count(), 2);  // the fee table and the totals
    }
}

TEST_F(HostWindow, ShowingAnOpenCategoryAgainBringsItsDialogToTheFrontWithItsInputs) {
    QMdiSubWindow* splitWindow = Open(4);
    ASSERT_NE(splitWindow, nullptr);
    for (const Action& a : Job(4)) Play(splitWindow, a);
    const QString sum = qobject_cast<QLabel*>(Widget(splitWindow, "lblSumme"))->text();
    QMdiSubWindow* boundaryWindow = Open(0);
    ASSERT_NE(boundaryWindow, nullptr);
    EXPECT_NE(boundaryWindow, splitWindow);
    Shot("gui-two-dialogs.png");

    EXPECT_EQ(Open(4), splitWindow);
    EXPECT_EQ(window_->DocumentArea()->subWindowList().size(), 2);
    EXPECT_EQ(qobject_cast<QLineEdit*>(Widget(splitWindow, "grdAusFlur"))->text(), QStringLiteral("Flur 3, Flurstück 112"));
    EXPECT_EQ(qobject_cast<QLineEdit*>(Widget(splitWindow, "mskBoden"))->text().trimmed(), QStringLiteral("200"));
    EXPECT_EQ(qobject_cast<QLabel*>(Widget(splitWindow, "lblSumme"))->text(), sum);
}

TEST_F(HostWindow, ReopeningAConfirmedCategoryAsksForItsTableModallyAndReadsTheInputsBack) {
    QMdiSubWindow* dialog = Open(1);
    ASSERT_NE(dialog, nullptr);
    for (const Action& a : Job(1)) Play(dialog, a);
    Press(dialog, "CommandEnde");
    bool asked = false;
    QTimer::singleShot(0, [&asked] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() != QStringLiteral("G_frmTabelle") || !w->isVisible()) continue;
            asked = true;
            auto* first = w->findChild<QRadioButton*>("optTabelle(0)");
            ASSERT_TRUE(first && first->isEnabled());
            QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(8, first->height() / 2));
            QTest::mouseClick(w->findChild<QPushButton*>("cmdEnde"), Qt::LeftButton);
        }
    });
    QMdiSubWindow* again = Open(1);
    EXPECT_TRUE(asked);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(qobject_cast<QLineEdit*>(Widget(again, "mskAnzahl"))->text().trimmed(), QStringLiteral("12"));
    EXPECT_EQ(qobject_cast<QLabel*>(Widget(again, "lblSumme"))->text().trimmed(), QStringLiteral("480,00"));
    Press(again, "CommandEnde");
    EXPECT_EQ(Record()->Field("Brutto").ToDouble(), 57120);
    EXPECT_EQ(window_->Session()->Document().GetTables().Count(), 2);
}

TEST_F(HostWindow, CancelAfterManyEditsLeavesDocumentRecordAndPreviewAsTheyWere) {
    const std::string before = DocumentFingerprint(window_->Session()->Document());
    const QString previewBefore = window_->Preview()->toPlainText();
    QMdiSubWindow* dialog = Open(0);
    ASSERT_NE(dialog, nullptr);
    for (const Action& a : Job(0)) Play(dialog, a);
    auto click = [&](const char* key) { Play(dialog, Action{Action::Kind::Click, key, {}, 0}); };
    click("optNr(3)");
    EXPECT_TRUE(qobject_cast<QRadioButton*>(Widget(dialog, "optNr(3)"))->isChecked());
    click("chkBereich");
    EXPECT_TRUE(qobject_cast<QCheckBox*>(Widget(dialog, "chkBereich"))->isChecked());
    click("optFaktor(1)");
    EXPECT_TRUE(qobject_cast<QRadioButton*>(Widget(dialog, "optFaktor(1)"))->isChecked());
    auto* klass = qobject_cast<QComboBox*>(Widget(dialog, "cmbKlassifizierung"));
    klass->setFocus(Qt::TabFocusReason);
    QTest::keyClick(klass, Qt::Key_Down);
    QTest::keyClick(klass, Qt::Key_Tab);
    Play(dialog, Action{Action::Kind::Set, "mskAGPo", "40", 0});
    EXPECT_NE(qobject_cast<QLabel*>(Widget(dialog, "lblSumme"))->text().trimmed(), QStringLiteral("0,0"));

    Press(dialog, "CommandAbbruch");
    EXPECT_EQ(DocumentFingerprint(window_->Session()->Document()), before);
    EXPECT_EQ(window_->Session()->Document().GetTables().Count(), 0);
    EXPECT_FALSE(window_->isWindowModified());
    EXPECT_EQ(Record()->Field("NettoRechnung").ToDouble(), 0);
    EXPECT_EQ(window_->Preview()->toPlainText(), previewBefore);
    EXPECT_EQ(Status(), QStringLiteral("Dialog geschlossen, Rechnung unverändert"));
}

TEST_F(HostWindow, ClosingWithUnsavedFeesAsksAndDoesWhatTheClerkAnswers) {
    struct Case {
        const char* button;
        bool closes;
        bool saved;
    } cases[] = {{"&Abbrechen", false, false}, {"&Speichern", true, true}, {"&Verwerfen", true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        Demo(std::string("close-") + (c.button + 1));
        const std::string onDisk = DocumentFingerprint(*word::Document::Open(doc_));
        QMdiSubWindow* dialog = Open(3);
        ASSERT_NE(dialog, nullptr);
        for (const Action& a : Job(3)) Play(dialog, a);
        Press(dialog, "CommandEnde");
        ASSERT_TRUE(window_->isWindowModified());
        Answer(QString(c.button));
        EXPECT_EQ(window_->close(), c.closes);
        EXPECT_EQ(DocumentFingerprint(*word::Document::Open(doc_)) != onDisk, c.saved);
        // Another workstation's view: the record is entered with the save, and only with it.
        if (c.closes) {
            auto other = dao::Workspace().OpenDatabase(db_.string());
            const double gross =
                other->OpenRecordset("SELECT Brutto FROM Rechnung WHERE ID_Rechnungsnummer = 1")->Field("Brutto").ToDouble();
            const auto shown = host::DocumentGrossCents(*word::Document::Open(doc_));
            EXPECT_EQ(gross, c.saved ? static_cast<double>(shown.value_or(-1)) : 0.0);
        }
        if (!c.closes) {
            Answer(QStringLiteral("&Verwerfen"));
            EXPECT_TRUE(window_->close());
        }
        NewWindow();
    }
}

TEST_F(HostWindow, TheInvoiceRecordIsChosenFromTheDatabasesList) {
    window_->Session()->Database().Execute(
        "INSERT INTO Rechnung (ID_Rechnungsnummer, Rechnungsnummer, ID_Auftragsnummer, Rechnungsart, NettoRechnung, "
        "Brutto, MehrwertsteuerFreierbetrag, Mehrwertsteuersatz) VALUES (7, 'RE-2026-0007', 1, 1, 12345, 14691, 0, 190)");
    QTimer::singleShot(0, [] {
        QWidget* form = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->findChild<QComboBox*>("cmbRechnung")) form = w;
        ASSERT_NE(form, nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(form->isActiveWindow(), 5000);
        auto* list = form->findChild<QComboBox*>("cmbRechnung");
        ASSERT_EQ(list->count(), 2);
        EXPECT_TRUE(list->itemText(1).contains(QStringLiteral("RE-2026-0007"))) << list->itemText(1).toStdString();
        // The list opened by a click, the entry below taken with the keys.
        QTest::mouseClick(list, Qt::LeftButton);
        QWidget* keys = QApplication::activePopupWidget() ? static_cast<QWidget*>(list->view()) : list;
        QTest::keyClick(keys, Qt::Key_Down);
        if (keys != list) QTest::keyClick(keys, Qt::Key_Return);
        EXPECT_EQ(list->currentIndex(), 1);
        QTest::mouseClick(form->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    });
    EXPECT_TRUE(window_->ChooseInvoice());
    EXPECT_EQ(window_->Figures()->text(), QStringLiteral("Rechnung RE-2026-0007:  netto 123,45 €   brutto 146,91 €"));
}

TEST_F(HostWindow, PdfExportRunsBesideTheWindowOrSaysThatLibreOfficeIsMissing) {
    const fs::path pdf = dir_ / "demo" / "Rechnung.pdf";
    const std::string path = ::getenv("PATH") ? ::getenv("PATH") : "";
    ::setenv("PATH", (dir_ / "prog").c_str(), 1);
    window_->ExportPdf(pdf);
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_FALSE(window_->ExportRunning());
    EXPECT_TRUE(Status().contains(QStringLiteral("LibreOffice ist nicht installiert"))) << Status().toStdString();

    if (PdfExport::Program().isEmpty()) GTEST_SKIP() << "soffice not installed";
    window_->ExportPdf(pdf);
    // The window goes on while soffice converts.
    EXPECT_TRUE(window_->ExportRunning());
    QTRY_VERIFY_WITH_TIMEOUT(!window_->ExportRunning(), 250000);
    EXPECT_EQ(Status(), QStringLiteral("PDF exportiert: ") + Q(pdf.string()));
    std::ifstream in(pdf, std::ios::binary);
    std::string head(5, '\0');
    in.read(head.data(), 5);
    EXPECT_EQ(head, "%PDF-");
}

// The drawing itself, on a document made for it: widths that differ per row,
// a bold cell, borders on some edges, a text box and marker comments.
TEST(InvoiceDrawing, ColumnGridBoldCellsBordersTextBoxAndMarkersOnRequest) {
    auto doc = word::Document::New();
    doc->Content().InsertBefore("Rechnung\rSumme\r");
    auto where = doc->GetRange(9, 9);
    auto t = doc->GetTables().Add(where, 2, 2);
    t.GetCell(1, 1).SetWidth(100);
    t.GetCell(1, 2).SetWidth(200);
    t.GetCell(2, 1).SetWidth(250);
    t.GetCell(2, 2).SetWidth(50);
    t.GetCell(1, 2).GetRange().InsertBefore("Gebühr");
    t.GetCell(1, 2).GetRange().SetBold(true);
    t.GetCell(2, 1).GetRange().InsertBefore("1500,00");
    t.Select();
    doc->GetApplication()->GetSelection().GetBorders().Item(word::BorderType::Top).SetLineStyle(word::LineStyle::Single);
    doc->GetComments().Add(t.GetCell(1, 2).GetRange(), "Honora_5");
    doc->GetComments().Add(doc->GetRange(0, 8), "kadoStart");
    auto box = doc->GetShapes().AddTextbox(word::TextOrientation::Horizontal, 0, 700, 300, 40);
    box.SetName("Zahlungsziel");
    box.GetTextFrame().TextRange().InsertBefore("Zahlbar bis 01.01.2027 ohne Abzug.");

    QTextDocument out;
    const auto drawn = DrawInvoice(*doc, true, 1.5, 96, out);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].first, t.Id());
    QTextTable* table = drawn[0].second;
    // Edges at 0, 100, 250, 300 pt: three grid columns, each cell spanning its share.
    ASSERT_EQ(table->columns(), 3);
    const auto widths = table->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 3);
    EXPECT_DOUBLE_EQ(widths[0].rawValue(), 200);
    EXPECT_DOUBLE_EQ(widths[1].rawValue(), 300);
    EXPECT_DOUBLE_EQ(widths[2].rawValue(), 100);
    struct Span { int row, column, span; const char* text; bool bold; double top; };  // bold: of text only
    for (const Span& s : {Span{0, 0, 1, "", false, 1}, Span{0, 1, 2, "Gebühr\u2039Honora_5\u203a", true, 1},
                          Span{1, 0, 2, "1500,00", false, 0}, Span{1, 2, 1, "", false, 0}}) {
        SCOPED_TRACE(s.row * 10 + s.column);
        const QTextTableCell cell = table->cellAt(s.row, s.column);
        EXPECT_EQ(cell.column(), s.column);
        EXPECT_EQ(cell.columnSpan(), s.span);
        QTextCursor c = cell.firstCursorPosition();
        c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        EXPECT_EQ(c.selectedText(), QString::fromUtf8(s.text));
        if (*s.text) {
            QTextCursor first = cell.firstCursorPosition();
            first.movePosition(QTextCursor::NextCharacter);
            EXPECT_EQ(first.charFormat().fontWeight() == QFont::Bold, s.bold);
        }
        EXPECT_EQ(cell.format().toTableCellFormat().topBorder(), s.top);
        EXPECT_EQ(cell.format().toTableCellFormat().bottomBorder(), 0);
    }
    const QString shown = out.toPlainText();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Rechnung\u2039kadoStart\u203a"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Textfeld \u201eZahlungsziel\u201c")));
    EXPECT_TRUE(shown.contains(QStringLiteral("Zahlbar bis 01.01.2027 ohne Abzug.")));

    DrawInvoice(*doc, false, 1.5, 96, out);
    const QString plain = out.toPlainText();
    EXPECT_FALSE(plain.contains(QStringLiteral("Honora_5")));
    EXPECT_FALSE(plain.contains(QStringLiteral("Textfeld")));
    EXPECT_TRUE(plain.contains(QStringLiteral("Zahlbar bis 01.01.2027 ohne Abzug.")));
}

// A line two cells share is drawn once, by the lower or right one where it runs
// along all of that cell, else by the cell it belongs to.
TEST(InvoiceDrawing, SharedCellLinesAreDrawnOnceAndPartLinesWhereTheyRun) {
    struct Line { int row, column; word::BorderType side; };
    struct Drawn { int row, column; double top, left, bottom, right; };
    struct Case { const char* name; std::vector<Line> lines; std::vector<Drawn> drawn; };
    using enum word::BorderType;
    const Case cases[] = {
        {"under the wide cell only", {{1, 1, Right}, {1, 2, Bottom}, {2, 1, Bottom}},
         {{0, 0, 0, 0, 0, 0}, {0, 1, 0, 1, 1, 0}, {1, 0, 0, 0, 1, 0}, {1, 2, 1, 0, 0, 0}}},
        {"under the whole row", {{1, 1, Bottom}, {1, 2, Bottom}, {2, 2, Right}},
         {{0, 0, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0}, {1, 0, 1, 0, 0, 0}, {1, 2, 1, 0, 0, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto doc = word::Document::New();
        doc->Content().InsertBefore("Rechnung\r");
        auto t = doc->GetTables().Add(doc->GetRange(9, 9), 2, 2);
        // Edges at 0, 100, 250, 300 pt: the lower left cell lies under both upper ones.
        const std::tuple<int, int, float> widths[] = {{1, 1, 100}, {1, 2, 200}, {2, 1, 250}, {2, 2, 50}};
        for (auto [r, col, w] : widths) t.GetCell(r, col).SetWidth(w);
        for (const Line& l : c.lines) {
            t.GetCell(l.row, l.column).Select();
            doc->GetApplication()->GetSelection().GetBorders().Item(l.side).SetLineStyle(word::LineStyle::Single);
            ASSERT_EQ(t.GetCell(l.row, l.column).Edge(l.side), word::LineStyle::Single);
        }
        QTextDocument out;
        QTextTable* table = DrawInvoice(*doc, false, 1, 96, out).at(0).second;
        for (const Drawn& d : c.drawn) {
            SCOPED_TRACE(d.row * 10 + d.column);
            const auto f = table->cellAt(d.row, d.column).format().toTableCellFormat();
            EXPECT_EQ(f.topBorder(), d.top);
            EXPECT_EQ(f.leftBorder(), d.left);
            EXPECT_EQ(f.bottomBorder(), d.bottom);
            EXPECT_EQ(f.rightBorder(), d.right);
        }
    }
}

}  // namespace
}  // namespace kado::host::gui

namespace kado::host::gui {
namespace {

TEST_F(HostWindow, AClickIntoTheMiddleOfAMaskedFieldTypesAsTabDoes) {
    QMdiSubWindow* dialog = Open(4);  // frmKat1: counts "####", the share "####,##" with its comma rule
    ASSERT_NE(dialog, nullptr);
    struct Case {
        const char* field;
        const char* keys;
        const char* text;      // the field's text afterwards
        const char* selected;  // its selection
    } cases[] = {
        {"mskGesamt", "12", "12  ", ""},
        {"mskBezug", "12,", "  12,00", "00"},
        {"mskGP", "7", "7   ", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        auto* field = qobject_cast<QLineEdit*>(Widget(dialog, c.field));
        ASSERT_NE(field, nullptr);
        if (QString(c.field) != "mskBezug") {
            EXPECT_EQ(field->text().trimmed(), QString());
        }
        QTest::mouseClick(field, Qt::LeftButton, {}, field->rect().center());
        ASSERT_TRUE(field->hasFocus());
        TypeKeys(field, QString(c.keys));
        EXPECT_EQ(field->text(), QString(c.text));
        EXPECT_EQ(field->selectedText(), QString(c.selected));
    }
    // Clicking again into the middle of a field that has the focus puts the caret after what it holds.
    auto* count = qobject_cast<QLineEdit*>(Widget(dialog, "mskGP"));
    QTest::mouseClick(count, Qt::LeftButton, {}, QPoint(count->width() - 6, count->height() / 2));
    TypeKeys(count, QStringLiteral("5"));
    EXPECT_EQ(count->text(), QStringLiteral("75  "));
}

TEST_F(HostWindow, FeeDialogKeysFollowTheDesktop) {
    // frmKat2: counts first, then an option group, OK and Abbruch.
    QMdiSubWindow* dialog = Open(3);
    ASSERT_NE(dialog, nullptr);
    // The first focus is on the first input field, not on an option.
    auto* first = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(dialog->isAncestorOf(first));
    for (QLineEdit* e : dialog->findChildren<QLineEdit*>())
        if (e->isVisible()) {
            EXPECT_GE(e->mapTo(dialog, QPoint()).y(), first->mapTo(dialog, QPoint()).y());
        }
    // Tab once round the dialog: one stop for the option group, the selected option.
    std::vector<std::string> stops;
    for (int i = 0; i < 60 && (stops.empty() || QApplication::focusWidget() != first); ++i) {
        stops.push_back(QApplication::focusWidget()->objectName().toStdString());
        Key(Qt::Key_Tab);
    }
    EXPECT_EQ(std::count(stops.begin(), stops.end(), "sevOption1"), 1);
    EXPECT_EQ(std::count(stops.begin(), stops.end(), "sevOption2"), 0);
    // Arrow keys move inside the group and select.
    while (QApplication::focusWidget()->objectName() != "sevOption1") Key(Qt::Key_Tab);
    Key(Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("sevOption2"));
    EXPECT_TRUE(qobject_cast<QRadioButton*>(Widget(dialog, "sevOption2"))->isChecked());
    EXPECT_FALSE(qobject_cast<QRadioButton*>(Widget(dialog, "sevOption1"))->isChecked());
    Shot("gui-frmKat2-keys.png");
    // Keys that close the dialog without writing, each on a freshly opened one; Alt+A is
    // "&Abbruch" while the dialog has the focus, not the menu "&Ansicht".
    const std::pair<Qt::Key, Qt::KeyboardModifiers> closing[] = {
        {Qt::Key_A, Qt::AltModifier}, {Qt::Key_Escape, Qt::NoModifier}, {Qt::Key_F4, Qt::ControlModifier}};
    for (const auto& [key, mods] : closing) {
        SCOPED_TRACE(QKeySequence(static_cast<int>(mods) | key).toString().toStdString());
        QPointer<QMdiSubWindow> open = key == Qt::Key_A ? dialog : Open(3);
        ASSERT_FALSE(open.isNull());
        Key(key, mods);
        QTRY_VERIFY(open.isNull() || open->isHidden());
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_EQ(window_->menuBar()->activeAction(), nullptr);
        EXPECT_FALSE(window_->isWindowModified());
    }
    // Enter after typing a count: the field is left (and the fee recomputed) before OK writes.
    QPointer<QMdiSubWindow> again = Open(3);
    ASSERT_FALSE(again.isNull());
    auto* count = Widget(again, "mskGesamt");
    QTest::mouseClick(count, Qt::LeftButton);
    TypeKeys(count, QStringLiteral("3"));
    Key(Qt::Key_Return);
    QTRY_VERIFY(again.isNull() || again->isHidden());
    QApplication::processEvents();
    EXPECT_TRUE(window_->isWindowModified());
    EXPECT_TRUE(window_->windowTitle().contains(QStringLiteral("[*]")));
    EXPECT_GT(Record()->Field("NettoRechnung").ToDouble(), 0.0);
}

TEST_F(HostWindow, RechnungWaehlenFiltersAsTheClerkTypesAndAnswersEnterAndEsc) {
    auto& db = window_->Session()->Database();
    db.Execute("INSERT INTO Rechnung (ID_Rechnungsnummer, Rechnungsnummer, ID_Auftragsnummer, Rechnungsart, "
               "NettoRechnung, Brutto, MehrwertsteuerFreierbetrag, Mehrwertsteuersatz) VALUES "
               "(7, 'RE-2026-0007', 1, 5, 12345, 14691, 0, 190), (8, 'RE-2026-0008', 1, 4, 50000, 59500, 0, 190)");
    db.Execute("INSERT INTO Termine (ID_Termin, ID_Terminart, ID_Rechnungsnummer, Datum) VALUES (90, 8, 7, '2026-03-02')");
    struct Case {
        const char* search;  // typed into the search field
        int shown;           // entries left in the list
        Qt::Key answer;
        std::optional<int> chosen;
    } cases[] = {
        {"", 3, Qt::Key_Escape, std::nullopt},
        {"abschlag", 1, Qt::Key_Return, 7},
        {"0008 schluss", 1, Qt::Key_Return, 8},
        {"RE-2026-00", 3, Qt::Key_Return, 8},  // the record chosen last stays chosen
        {"nirgends", 0, Qt::Key_Return, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.search);
        int shown = -1;
        bool stayed = false;
        QString line7;
        WhenShown("cmbRechnung", std::function<void(QWidget*)>([&](QWidget* form) {
            auto* list = form->findChild<QComboBox*>("cmbRechnung");
            auto* search = form->findChild<QLineEdit*>("txtSuche");
            QTest::mouseClick(search, Qt::LeftButton);
            TypeKeys(search, QString::fromUtf8(c.search));
            const bool none = list->count() == 1 && list->itemText(0).startsWith(QStringLiteral("keine"));
            shown = none ? 0 : list->count();
            for (int i = 0; i < list->count(); ++i)
                if (list->itemText(i).contains(QStringLiteral("RE-2026-0007"))) line7 = list->itemText(i);
            if (c.shown == 1 && c.chosen == 7) {
                EXPECT_TRUE(form->grab().save(Q((kShots / "gui-rechnung-waehlen.png").string())));
            }
            QTest::keyClick(QApplication::focusWidget(), c.answer);
            QApplication::processEvents();
            // Enter without an entry to take leaves the dialog open; Esc then closes it.
            stayed = form->isVisible();
            if (stayed) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        }));
        const bool chose = window_->ChooseInvoice();
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(stayed, c.shown == 0);
        EXPECT_EQ(chose, c.chosen.has_value());
        if (c.chosen) {
            EXPECT_TRUE(line7.isEmpty() || (line7.contains(QStringLiteral("02.03.2026")) &&
                                            line7.contains(QStringLiteral("Abschlagsrechnung")) &&
                                            line7.contains(QStringLiteral("123,45 €")) &&
                                            line7.contains(QStringLiteral("146,91 €"))))
                << line7.toStdString();
            EXPECT_TRUE(window_->Figures()->text().contains(QStringLiteral("RE-2026-000%1").arg(*c.chosen)))
                << window_->Figures()->text().toStdString();
        }
    }
}

TEST_F(HostWindow, FileDialogsAndMenuKeysSpeakGerman) {
    QAction* open = nullptr;
    for (QAction* a : window_->findChildren<QAction*>())
        if (a->text().startsWith(QStringLiteral("Rechnung ö"))) open = a;
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->shortcut().toString(QKeySequence::NativeText), QStringLiteral("Strg+O"));
    QStringList texts;
    WhenShown<QFileDialog>("", std::function<void(QFileDialog*)>([&](QFileDialog* dialog) {
        for (QLabel* l : dialog->findChildren<QLabel*>()) texts << l->text();
        for (QAbstractButton* b : dialog->findChild<QDialogButtonBox*>()->buttons()) texts << b->text();
        EXPECT_TRUE(dialog->grab().save(Q((kShots / "gui-datei-oeffnen.png").string())));
        dialog->reject();
    }));
    open->trigger();
    const QString all = texts.join(u'|');
    for (const char* german : {"Suchen in:", "Datei&name:", "Abbrechen"})
        EXPECT_TRUE(all.contains(QString::fromUtf8(german))) << german << " not in " << all.toStdString();
    for (const char* english : {"Look in", "File name", "Cancel"})
        EXPECT_FALSE(all.contains(QString::fromUtf8(english))) << english;
}

TEST_F(HostWindow, TheLastDatabaseInvoiceAndRecordOpenAgainAndStandInTheRecentList) {
    const auto other = dir_ / "other";
    Demo("other");  // now the newest; demo/ the one before
    window_->SetInvoice(1);
    ASSERT_EQ(window_->Recent().size(), 2u);
    EXPECT_EQ(window_->Recent()[0], std::make_pair(fs::absolute(db_), fs::absolute(doc_)));
    EXPECT_EQ(window_->Recent()[1].second, fs::absolute(dir_ / "demo" / "Rechnung.docx"));
    window_.reset();
    NewWindow();
    ASSERT_TRUE(window_->ReopenLast());
    EXPECT_EQ(window_->DocumentPath(), fs::absolute(doc_));
    EXPECT_TRUE(window_->Figures()->text().startsWith(QStringLiteral("Rechnung "))) << window_->Figures()->text().toStdString();
    // The Datei menu's list opens the older one.
    auto* recent = window_->findChild<QMenu*>("zuletztGeoeffnet");
    ASSERT_NE(recent, nullptr);
    emit recent->aboutToShow();
    ASSERT_EQ(recent->actions().size(), 2);
    recent->actions()[1]->trigger();
    EXPECT_EQ(window_->DocumentPath(), fs::absolute(dir_ / "demo" / "Rechnung.docx"));
}

// The preview of an invoice longer than a page: a separator where the estimate
// breaks, the page it starts beginning as printed, the payment term on its page.
// Three fee tables, the middle one listing 200 parcels: longer than a page; opened with record 1.
void OpenLongInvoice(MainWindow& window, const fs::path& dir) {
    std::vector<host::test::Job> jobs{host::test::DemoJob(0), host::test::DemoJob(4), host::test::DemoJob(1)};
    auto& splitWindow = jobs[1].actions;
    std::erase_if(splitWindow, [](const std::string& a) { return a.starts_with("set grdAusFlur="); });
    for (const char* field : {"grdAusFlur", "grdNeuFlur"}) {
        std::string parcels = std::string("set ") + field + "=Flur 3, Flurstücke";
        for (int i = 1; i <= 200; ++i) parcels += " 112/" + std::to_string(i) + ",";
        splitWindow.push_back(parcels);
    }
    std::string error;
    fs::create_directories(dir / "lang");
    const fs::path doc = host::test::MakeInvoice(dir / "lang", "lang", jobs, error);
    ASSERT_FALSE(doc.empty()) << error;
    ASSERT_TRUE(window.OpenFiles(dir / "lang" / "demo" / "kado.sqlite", doc));
    ASSERT_TRUE(window.SetInvoice(1));
}

// The preview's invoice drawn afresh at the preview's scale.
QString FreshDrawing(const InvoicePreview& preview, const word::Document& invoice) {
    QTextDocument fresh;
    fresh.setDocumentMargin(preview.document()->documentMargin());
    const double size = invoice.GetDefaultFont().Size() > 0 ? invoice.GetDefaultFont().Size() : 10;
    DrawInvoice(invoice, false, preview.document()->defaultFont().pointSizeF() / size, preview.logicalDpiX(), fresh);
    return fresh.toHtml();
}

TEST_F(HostWindow, ThePreviewBreaksPagesWhereTheyPrintAndSetsThePaymentTermOnItsPage) {
    ASSERT_NO_FATAL_FAILURE(OpenLongInvoice(*window_, dir_));
    const word::Document& invoice = window_->Session()->Document();
    const auto pages = word::EstimatePages(invoice);
    ASSERT_GE(pages.Count(), 3);
    ASSERT_EQ(pages.boxes.size(), 1u);

    // What a page starts with as printed: its first text, a table's title where the table goes on.
    auto startOf = [&](long pos) {
        word::Range at = invoice.GetRange(pos, pos);
        at.MoveEnd(word::Unit::Paragraph, 1);
        if (at.GetTables().Count() > 0) {
            const auto table = at.GetTables().Item(1);
            if (table.GetRows().Item(1).HeadingFormat()) at = table.GetRows().Item(1).GetRange();
        }
        for (const auto& part : QString::fromStdString(at.Text()).split(QRegularExpression(QStringLiteral("[\r\a]+"))))
            if (!part.trimmed().isEmpty()) return part.trimmed();
        return QString();
    };
    InvoicePreview* preview = window_->Preview();
    int page = 1;
    QString firstAfter;
    bool looking = false;
    double boxTop = -1;
    int boxPage = 0;
    std::vector<QString> starts;
    for (QTextBlock b = preview->document()->begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().hasProperty(kPageStart)) {
            EXPECT_EQ(b.blockFormat().intProperty(kPageStart), ++page);
            EXPECT_EQ(b.text(), QStringLiteral("Seitenumbruch \u2013 Seite %1 von %2").arg(page).arg(pages.Count()));
            looking = true;
            continue;
        }
        if (looking && !b.text().trimmed().isEmpty()) {
            starts.push_back(b.text().trimmed());
            looking = false;
        }
        if (b.text().startsWith(QStringLiteral("Zahlbar"))) {
            boxPage = page;
            boxTop = QTextCursor(b).currentFrame()->frameFormat().topMargin();
        }
    }
    EXPECT_EQ(page, pages.Count());
    ASSERT_EQ(starts.size(), pages.breaks.size());
    for (size_t k = 0; k < starts.size(); ++k) EXPECT_EQ(starts[k], startOf(pages.breaks[k])) << "page " << k + 2;
    // The term where it prints: its page, and the free part of the page above it at the preview's scale.
    EXPECT_EQ(boxPage, pages.boxes[0].page);
    const double pxPerPt = preview->document()->defaultFont().pointSizeF() / invoice.GetDefaultFont().Size() *
                           preview->logicalDpiX() / 72.0;
    EXPECT_NEAR(boxTop, pages.boxes[0].gap * pxPerPt, 1.0);
    EXPECT_GT(pages.boxes[0].gap, 0);
    EXPECT_LT(pages.boxes[0].gap, word::EstimatedTextHeight(invoice));
    // The screenshot shows the last page break and the term below it.
    QTextBlock last;
    for (QTextBlock b = preview->document()->begin(); b.isValid(); b = b.next())
        if (b.blockFormat().hasProperty(kPageStart)) last = b;
    preview->verticalScrollBar()->setValue(preview->verticalScrollBar()->value() +
                                           preview->cursorRect(QTextCursor(last)).top() - 40);
    Shot("gui-vorschau-seiten.png");
}

// After OK the preview draws again only the pieces of the invoice that changed,
// in the shown document; what it then shows is what a drawing of the whole
// invoice shows, page breaks and separators included.
TEST_F(HostWindow, AfterOkThePreviewDrawsOnlyWhatChangedAndShowsWhatAWholeDrawingShows) {
    ASSERT_NO_FATAL_FAILURE(OpenLongInvoice(*window_, dir_));
    const word::Document& invoice = window_->Session()->Document();
    InvoicePreview* preview = window_->Preview();
    ASSERT_EQ(preview->toHtml(), FreshDrawing(*preview, invoice));
    struct Case {
        const char* name;
        int category;
        bool reopened;  // its table is in the invoice: the dialog asks which one
        int pagesAfter;  // of the estimate
    } cases[] = {
        {"a table added", 2, false, 3},
        // A page more: every break after the table moves, every separator names one page more.
        {"the first table written anew", 0, true, 4},
        {"the table over several pages written anew", 4, true, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.reopened)
            QTimer::singleShot(0, [] {
                for (QWidget* w : QApplication::topLevelWidgets()) {
                    if (w->objectName() != QStringLiteral("G_frmTabelle") || !w->isVisible()) continue;
                    QTest::mouseClick(w->findChild<QRadioButton*>("optTabelle(0)"), Qt::LeftButton);
                    QTest::mouseClick(w->findChild<QPushButton*>("cmdEnde"), Qt::LeftButton);
                }
            });
        QMdiSubWindow* dialog = Open(c.category);
        ASSERT_NE(dialog, nullptr);
        // The keyboard back in the window once the question has gone.
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        for (const Action& a : Job(c.category)) Play(dialog, a);
        const QTextDocument* shown = preview->document();
        const int pagesBefore = word::EstimatePages(invoice).Count();
        const auto tables = preview->TableIds();
        Press(dialog, "CommandEnde");
        EXPECT_TRUE(window_->isWindowModified());
        EXPECT_EQ(preview->document(), shown) << "drawn anew instead of in place";
        EXPECT_EQ(word::EstimatePages(invoice).Count(), c.pagesAfter) << "before " << pagesBefore;
        const QString now = preview->toHtml(), whole = FreshDrawing(*preview, invoice);
        qsizetype differs = 0;
        while (differs < std::min(now.size(), whole.size()) && now[differs] == whole[differs]) ++differs;
        EXPECT_TRUE(now == whole) << "first difference at " << differs << ": "
                                  << now.mid(differs - 80, 200).toStdString() << "\n---\n"
                                  << whole.mid(differs - 80, 200).toStdString();
        // The ids follow the document's tables, the one just written scrolled into view.
        std::vector<int64_t> ids;
        for (int i = 1; i <= invoice.GetTables().Count(); ++i) ids.push_back(invoice.GetTables().Item(i).Id());
        EXPECT_EQ(preview->TableIds(), ids);
        const auto fresh = std::find_if(ids.begin(), ids.end(), [&](int64_t id) {
            return std::find(tables.begin(), tables.end(), id) == tables.end();
        });
        ASSERT_NE(fresh, ids.end());
        const int top = preview->cursorRect(preview->TableOf(*fresh)->firstCursorPosition()).top();
        EXPECT_TRUE(top >= 0 && top < preview->viewport()->height()) << top;
    }
}

// A print scheduler of our own on loopback, which the window's lpstat and lp reach by CUPS_SERVER.
class HostPrinting : public HostWindow {
protected:
    void SetUp() override {
        HostWindow::SetUp();
        const char* server = getenv("CUPS_SERVER");
        oldServer_ = server ? std::optional<std::string>(server) : std::nullopt;
    }
    // The scheduler up with these queues (the first the default); false when it cannot start at all.
    bool Queues(std::initializer_list<const char*> names) {
        const std::string why = cups_.Start();
        if (!why.empty()) {
            skipped_ = "no print scheduler of our own: " + why;
            return false;
        }
        setenv("CUPS_SERVER", cups_.Server().c_str(), 1);
        for (const char* name : names) EXPECT_EQ(cups_.AddPdfQueue(name), "") << cups_.Log();
        if (names.size() > 0) {
            EXPECT_EQ(cups_.SetDefault(*names.begin()), "");
        }
        return true;
    }
    void TearDown() override {
        if (oldServer_) setenv("CUPS_SERVER", oldServer_->c_str(), 1);
        else unsetenv("CUPS_SERVER");
        HostWindow::TearDown();
    }
    // Datei -> OpenPrintDialog with the mouse, as a clerk opens it.
    void OpenPrintDialog() {
        QMenu* file = nullptr;
        QAction* print = nullptr;
        for (QAction* a : window_->menuBar()->actions())
            if (a->text() == QStringLiteral("&Datei")) file = a->menu();
        ASSERT_NE(file, nullptr) << "no Datei menu";
        for (QAction* a : file->actions())
            if (a->text() == QStringLiteral("&Drucken …")) print = a;
        ASSERT_NE(print, nullptr) << "no Drucken in the Datei menu";
        QTest::mouseClick(window_->menuBar(), Qt::LeftButton, {},
                          window_->menuBar()->actionGeometry(file->menuAction()).center());
        QTRY_VERIFY(file->isVisible());
        QTest::mouseClick(file, Qt::LeftButton, {}, file->actionGeometry(print).center());
    }
    test::OwnCups cups_;
    std::string skipped_;
    std::optional<std::string> oldServer_;
};

TEST_F(HostPrinting, WithoutAPrinterOrPrintSystemTheClerkIsToldWhy) {
    const struct Case {
        const char* name;
        bool scheduler;    // our own scheduler runs, without any queue
        const char* told;  // the message's start
    } cases[] = {
        {"scheduler gone", false, "Drucken nicht möglich: das Drucksystem (CUPS) läuft nicht"},
        {"no queue", true, "Kein Drucker eingerichtet"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.scheduler) {
            if (!Queues({})) GTEST_SKIP() << skipped_;
        } else {
            // A port no scheduler listens on.
            setenv("CUPS_SERVER", "127.0.0.1:1", 1);
        }
        QString text;
        QTimer::singleShot(0, [&] {
            QMessageBox* box = nullptr;
            QTRY_VERIFY_WITH_TIMEOUT((box = Top<QMessageBox>("meldung")) != nullptr, 20000);
            text = box->text();
            EXPECT_TRUE(box->grab().save(Q((kShots / "gui-drucken-kein-drucker.png").string())));
            QTest::keyClick(box, Qt::Key_Return);
        });
        OpenPrintDialog();
        QTRY_VERIFY_WITH_TIMEOUT(!text.isEmpty(), 25000);
        QApplication::processEvents();
        EXPECT_TRUE(text.startsWith(QString::fromUtf8(c.told))) << text.toStdString();
    }
}

TEST_F(HostPrinting, TheInvoiceLaidOutByLibreOfficeArrivesAtTheQueueChosenFromTheList) {
    if (PdfExport::Program().isEmpty()) GTEST_SKIP() << "soffice not installed";
    if (!Queues({"Buero_PDF", "Empfang"})) GTEST_SKIP() << skipped_;
    // A fee table confirmed first, so that the invoice has its figures.
    QMdiSubWindow* dialog = Open(0);
    ASSERT_NE(dialog, nullptr);
    for (const Action& a : Job(0)) Play(dialog, a);
    Press(dialog, "CommandEnde");
    QStringList offered;
    WhenShown("drucker", std::function<void(QWidget*)>([&](QWidget* dialog) {
        auto* list = dialog->findChild<QComboBox*>("drucker");
        for (int i = 0; i < list->count(); ++i) offered << list->itemText(i);
        EXPECT_EQ(list->currentText(), QStringLiteral("Buero_PDF"));
        EXPECT_TRUE(dialog->grab().save(Q((kShots / "gui-drucken.png").string())));
        // The other queue, by keyboard, then Enter for "Drucken".
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
    }));
    OpenPrintDialog();
    QTRY_VERIFY_WITH_TIMEOUT(!offered.isEmpty(), 10000);
    EXPECT_EQ(offered, (QStringList{QStringLiteral("Buero_PDF"), QStringLiteral("Empfang")}));
    QTRY_VERIFY_WITH_TIMEOUT(!window_->PrintRunning(), 240'000);
    EXPECT_TRUE(Status().contains(QStringLiteral("Empfang-"))) << Status().toStdString();
    const fs::path printed = cups_.Printed("Empfang");
    QTRY_VERIFY_WITH_TIMEOUT(fs::exists(printed) && fs::file_size(printed) > 0, 60'000);
    EXPECT_FALSE(fs::exists(cups_.Printed("Buero_PDF")));
    const fs::path text = dir_ / "printed.txt";
    ASSERT_EQ(std::system(("pdftotext -layout '" + printed.string() + "' '" + text.string() + "'").c_str()), 0)
        << cups_.Log();
    std::ifstream in(text);
    const std::string shown((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char* expected : {"1500,00", "Rechnungsbetrag:", "1785,00 €"})
        EXPECT_NE(shown.find(expected), std::string::npos) << expected << " not printed:\n" << shown;
}

}  // namespace
}  // namespace kado::host::gui
