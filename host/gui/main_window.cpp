#include "host/gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "host/gui/invoice_preview.h"
#include "host/gui/pdf_export.h"
#include "host/erechnung/erechnung.h"
#include "host/gui/printing.h"
#include "host/invoice_choice.h"
#include "host/invoice_figures.h"
#include "platform/com/error.h"
#include "platform/qt/german.h"
#include "platform/settings/settings.h"
#include "platform/qt/qt_desktop.h"
#include "plugin/component/honora.h"

namespace kado::host::gui {
namespace {

namespace fs = std::filesystem;

// Where the window remembers what was open.
constexpr const char* kSettingsApp = "kado-host";
constexpr const char* kRecentSection = "Zuletzt";
constexpr int kRecentCount = 6;

// The preview keeps this much of the window's width when a wide dialog needs room.
constexpr int kPreviewMinimum = 420;

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString P(const fs::path& p) { return QString::fromStdString(p.string()); }
fs::path F(const QString& s) { return fs::path(s.toStdString()); }

// Calls back when a dialog's window is hidden by the program (closed), not when
// the window system hides it along with a minimised main window.
class CloseWatcher final : public QObject {
public:
    CloseWatcher(QObject* watched, std::function<void()> closed) : QObject(watched), closed_(std::move(closed)) {}

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Hide && !event->spontaneous()) closed_();
        return false;
    }

private:
    std::function<void()> closed_;
};

// The menu text of a category: what Show's index opens, without the dialog's name.
QString CategoryTitle(size_t index) {
    const std::string entry = honora::kCategories[index];
    const auto comma = entry.find(", ");
    QString title = Q(comma == std::string::npos ? entry : entry.substr(comma + 2));
    title[0] = title[0].toUpper();
    return title;
}

}  // namespace

MainWindow::MainWindow(int user) : user_(user), desktop_(std::make_shared<qtview::QtDesktop>()) {
    setObjectName(QStringLiteral("kadoHost"));
    area_ = new QMdiArea;
    area_->setObjectName(QStringLiteral("dokumentbereich"));
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    desktop_->RegisterDocumentArea(kDocumentArea, area_);
    desktop_->SetFailureSink([this](const std::string& failure) {
        statusBar()->showMessage(QStringLiteral("Fehler im Dialog: ") + Q(failure), 10000);
    });

    preview_ = new InvoicePreview;
    pdf_ = new PdfExport(this);
    printPdf_ = new PdfExport(this);
    markers_ = new QAction(QStringLiteral("&Markierungskommentare zeigen"), this);
    markers_->setCheckable(true);
    connect(markers_, &QAction::toggled, this, [this] { RefreshPreview(false); });

    auto* panel = new QWidget;
    auto* header = new QHBoxLayout;
    header->setContentsMargins(4, 2, 4, 2);
    header->addWidget(new QLabel(QStringLiteral("<b>Vorschau der Rechnung</b>")));
    header->addStretch();
    auto* toggle = new QToolButton;
    toggle->setDefaultAction(markers_);
    toggle->setToolButtonStyle(Qt::ToolButtonTextOnly);
    header->addWidget(toggle);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(header);
    column->addWidget(preview_);

    split_ = new QSplitter(Qt::Horizontal);
    auto* split = split_;
    split->addWidget(area_);
    split->addWidget(panel);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setChildrenCollapsible(false);
    setCentralWidget(split);

    figures_ = new QLabel;
    figures_->setObjectName(QStringLiteral("rechnungsbetrag"));
    statusBar()->addPermanentWidget(figures_);
    BuildMenus();
    resize(1600, 960);
    split->setSizes({980, 620});
    UpdateState();
}

MainWindow::~MainWindow() {
    EndSession();
    desktop_->UnregisterDocumentArea(kDocumentArea);
    desktop_->SetFailureSink(nullptr);  // a form kept elsewhere must not report into this window
}

void MainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Datei"));
    file->addAction(QStringLiteral("Rechnung ö&ffnen …"), QKeySequence::Open, this, [this] { OpenDocumentDialog(); });
    file->addAction(QStringLiteral("&Datenbank wählen …"), this, [this] { ChooseDatabaseDialog(); });
    chooseInvoice_ = file->addAction(QStringLiteral("&Rechnungsdatensatz wählen …"), this, [this] { ChooseInvoice(); });
    file->addSeparator();
    save_ = file->addAction(QStringLiteral("&Speichern"), QKeySequence::Save, this, [this] { Save(); });
    saveAs_ = file->addAction(QStringLiteral("Speichern &unter …"), QKeySequence::SaveAs, this, [this] { SaveAsDialog(); });
    export_ = file->addAction(QStringLiteral("Als &PDF exportieren …"), this, [this] { ExportDialog(); });
    file->addAction(QStringLiteral("&E-Rechnung (XRechnung) exportieren ..."), this, [this] {
        if (!session_) return;
        fs::path suggestion = docPath_.empty() ? dbPath_.parent_path() / "Rechnung.xml" : docPath_;
        suggestion.replace_extension(".xml");
        const QString target = QFileDialog::getSaveFileName(this, QStringLiteral("E-Rechnung (XRechnung) exportieren"),
                                                            P(suggestion), QStringLiteral("XRechnung (*.xml)"));
        if (!target.isEmpty()) ExportEInvoice(F(target));
    });
    print_ = file->addAction(QStringLiteral("&Drucken …"), QKeySequence::Print, this, [this] { PrintDialog(); });
    file->addSeparator();
    recent_ = file->addMenu(QStringLiteral("&Zuletzt geöffnet"));
    recent_->setObjectName(QStringLiteral("zuletztGeoeffnet"));
    connect(recent_, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
    file->addSeparator();
    file->addAction(QStringLiteral("&Beenden"), QKeySequence::Quit, this, [this] { close(); });

    QMenu* fees = menuBar()->addMenu(QStringLiteral("&Gebühren"));
    for (size_t i = 0; i < honora::kCategories.size(); ++i) {
        const int index = static_cast<int>(i);
        QAction* a = fees->addAction(CategoryTitle(i), this, [this, index] { ShowCategory(index); });
        a->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + index)));
        categories_.push_back(a);
    }

    QMenu* view = menuBar()->addMenu(QStringLiteral("&Ansicht"));
    view->addAction(markers_);
    view->addSeparator();
    view->addAction(QStringLiteral("Dialoge &nebeneinander"), area_, &QMdiArea::tileSubWindows);
    view->addAction(QStringLiteral("Dialoge ü&berlappend"), area_, &QMdiArea::cascadeSubWindows);
}

QAction* MainWindow::CategoryAction(int index) const {
    return index >= 0 && index < static_cast<int>(categories_.size()) ? categories_[static_cast<size_t>(index)] : nullptr;
}

bool MainWindow::ExportRunning() const { return pdf_->Running(); }

void MainWindow::UpdateState() {
    const bool open = session_ != nullptr;
    for (QAction* a : categories_) a->setEnabled(open);
    for (QAction* a : {save_, saveAs_, chooseInvoice_}) a->setEnabled(open);
    export_->setEnabled(open && !pdf_->Running());
    print_->setEnabled(open && !printPdf_->Running());
    const QString name = !open ? QString() : docPath_.empty() ? QStringLiteral("Unbenannt") : P(docPath_.filename());
    setWindowTitle(name.isEmpty() ? QStringLiteral("kado-host") : name + QStringLiteral("[*] – kado-host"));
    setWindowModified(open && session_->Unsaved());
    ShowFigures();
}

void MainWindow::ShowFigures() {
    if (!session_) {
        figures_->setText(QStringLiteral("keine Rechnung geöffnet"));
        return;
    }
    auto rs = invoice_ ? session_->Invoice(*invoice_) : nullptr;
    if (!rs) {
        figures_->setText(QStringLiteral("kein Rechnungsdatensatz gewählt: Gebühren werden nicht eingetragen"));
        return;
    }
    figures_->setText(Q(StatusFigures(*rs)));
}

bool MainWindow::MayDiscard(const QString& doing) {
    const bool unsaved = session_ && session_->Unsaved();
    const auto windows = area_->subWindowList();
    const bool dialogs = std::any_of(windows.begin(), windows.end(), [](QMdiSubWindow* w) { return !w->isHidden(); });
    if (!unsaved && !dialogs) return true;
    QMessageBox box(this);
    box.setObjectName(QStringLiteral("frageVerwerfen"));
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(QStringLiteral("kado-host"));
    const QString lost = QStringLiteral("Offene Gebührendialoge werden ohne Übernahme geschlossen.");
    if (unsaved) {
        box.setText(QStringLiteral("Die Rechnung „%1“ wurde geändert. Vor dem %2 speichern?")
                        .arg(docPath_.empty() ? QStringLiteral("Unbenannt") : P(docPath_.filename()), doing));
        if (dialogs) box.setInformativeText(lost);
        box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        box.button(QMessageBox::Save)->setText(QStringLiteral("&Speichern"));
        box.button(QMessageBox::Discard)->setText(QStringLiteral("&Verwerfen"));
    } else {
        box.setText(lost + QStringLiteral(" Trotzdem fortfahren?"));
        box.setStandardButtons(QMessageBox::Discard | QMessageBox::Cancel);
        box.button(QMessageBox::Discard)->setText(QStringLiteral("&Schließen"));
    }
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("&Abbrechen"));
    box.setDefaultButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Save: return Save();
        case QMessageBox::Discard: return true;
        default: return false;
    }
}

void MainWindow::EndSession() {
    // The component goes with the session; its open dialogs close unconfirmed.
    session_.reset();
    watched_.clear();
    if (preview_) preview_->Render(nullptr, false);
}

bool MainWindow::OpenFiles(const fs::path& db, const fs::path& doc) {
    if (!MayDiscard(QStringLiteral("Öffnen"))) return false;
    auto fail = [this](const Problem& p) {
        Tell(QStringLiteral("kado-host"), Q(p.message));
        UpdateState();
        return false;
    };
    if (auto missing = HostSession::Missing(db, doc)) return fail(*missing);
    EndSession();
    auto session = std::make_unique<HostSession>(desktop_);
    if (auto problem = session->Open(db, doc, user_)) return fail(*problem);
    session_ = std::move(session);
    dbPath_ = db;
    docPath_ = doc;
    if (invoice_ && !session_->Invoice(*invoice_)) invoice_.reset();
    shownFingerprint_ = session_->Fingerprint();
    RefreshPreview(false);
    UpdateState();
    // The component writes the record on OK; say so before the user starts, not after.
    const auto unwritable = HostSession::Unwritable(db, doc.empty() ? db.parent_path() / "Unbenannt.docx" : doc);
    statusBar()->showMessage(unwritable ? Q(unwritable->message) : QStringLiteral("Geöffnet: ") + P(doc.empty() ? db : doc));
    Remember();
    return true;
}

void MainWindow::Remember() {
    // The documents go by their absolute paths; a new, unnamed document has none to come back to.
    auto list = Recent();
    const auto entry = std::make_pair(fs::absolute(dbPath_), docPath_.empty() ? fs::path() : fs::absolute(docPath_));
    std::erase(list, entry);
    list.insert(list.begin(), entry);
    if (list.size() > static_cast<size_t>(kRecentCount)) list.resize(static_cast<size_t>(kRecentCount));
    try {
        for (size_t i = 0; i < static_cast<size_t>(kRecentCount); ++i) {
            const std::string n = std::to_string(i + 1);
            settings::SaveSetting(kSettingsApp, kRecentSection, "Datenbank" + n, i < list.size() ? list[i].first.string() : "");
            settings::SaveSetting(kSettingsApp, kRecentSection, "Dokument" + n, i < list.size() ? list[i].second.string() : "");
        }
        settings::SaveSetting(kSettingsApp, kRecentSection, "Rechnung", invoice_ ? std::to_string(*invoice_) : "");
    } catch (const com::Error& e) {
        statusBar()->showMessage(QStringLiteral("Zuletzt geöffnete Dateien nicht gespeichert: ") + Q(Quote(e)), 8000);
    }
}

std::vector<std::pair<fs::path, fs::path>> MainWindow::Recent() const {
    std::vector<std::pair<fs::path, fs::path>> list;
    try {
        for (int i = 1; i <= kRecentCount; ++i) {
            const std::string n = std::to_string(i);
            const std::string db = settings::GetSetting(kSettingsApp, kRecentSection, "Datenbank" + n, "");
            if (db.empty()) continue;
            list.emplace_back(db, settings::GetSetting(kSettingsApp, kRecentSection, "Dokument" + n, ""));
        }
    } catch (const com::Error&) {
        // An unreadable store lists nothing; the next open writes it anew.
    }
    return list;
}

void MainWindow::FillRecentMenu() {
    recent_->clear();
    const auto list = Recent();
    if (list.empty()) recent_->addAction(QStringLiteral("(keine)"))->setEnabled(false);
    int n = 0;
    for (const auto& [db, doc] : list) {
        const QString name = doc.empty() ? QStringLiteral("neue Rechnung") : P(doc.filename());
        QAction* a = recent_->addAction(QStringLiteral("&%1 %2 – %3").arg(++n).arg(name, P(db)), this,
                                        [this, db = db, doc = doc] { OpenFiles(db, doc); });
        a->setToolTip(P(doc.empty() ? db : doc));
    }
}

bool MainWindow::ReopenLast() {
    const auto list = Recent();
    if (list.empty()) return false;
    const auto& [db, doc] = list.front();
    // Read before opening: opening remembers the files with the record chosen now, none yet.
    std::string id;
    try {
        id = settings::GetSetting(kSettingsApp, kRecentSection, "Rechnung", "");
    } catch (const com::Error&) {
    }
    if (!OpenFiles(db, doc)) return false;
    if (!id.empty() && id.find_first_not_of("0123456789") == std::string::npos && id.size() < 10)
        SetInvoice(std::stoi(id));
    return true;
}

bool MainWindow::SetInvoice(std::optional<int> id) {
    if (id && (!session_ || !session_->Invoice(*id))) return false;
    invoice_ = id;
    ShowFigures();
    if (session_) Remember();
    return true;
}

bool MainWindow::ChooseInvoice() {
    if (!session_) return false;
    std::vector<InvoiceRecord> records;
    try {
        records = InvoiceRecords(session_->Database());
    } catch (const com::Error& e) {
        statusBar()->showMessage(QStringLiteral("Rechnungsdatensätze nicht lesbar: ") + Q(Quote(e)));
        return false;
    }
    const auto chosen = host::ChooseInvoice(desktop_, dbPath_.string(), records, invoice_);
    return chosen && SetInvoice(chosen);
}

void MainWindow::ShowCategory(int index) {
    if (!session_) return;
    auto invoice = invoice_ ? session_->Invoice(*invoice_) : nullptr;
    if (!invoice) statusBar()->showMessage(QStringLiteral("Ohne Rechnungsdatensatz: die Summen gehen nur ins Dokument"));
    session_->Show(static_cast<int16_t>(index), invoice, kDocumentArea);
    for (QMdiSubWindow* w : area_->subWindowList()) Watch(w);
}

void MainWindow::Watch(QMdiSubWindow* window) {
    std::erase_if(watched_, [](const QPointer<QMdiSubWindow>& w) { return w.isNull(); });
    if (std::any_of(watched_.begin(), watched_.end(), [&](const auto& w) { return w.data() == window; })) return;
    // A new dialog opens where its form says; on top of another one it steps down by a title bar.
    const int step = window->height() - window->widget()->height();
    for (bool covered = true; covered && step > 0;) {
        covered = std::any_of(watched_.begin(), watched_.end(),
                              [&](const auto& w) { return !w->isHidden() && w->pos() == window->pos(); });
        if (covered) window->move(window->pos() + QPoint(step, step));
    }
    // The preview gives way while a dialog would not fit beside it.
    const int missing = window->frameGeometry().right() + 1 - area_->viewport()->width();
    if (missing > 0) {
        QList<int> sizes = split_->sizes();
        const int give = std::min(missing, sizes[1] - kPreviewMinimum);
        if (give > 0) split_->setSizes({sizes[0] + give, sizes[1] - give});
    }
    watched_.emplace_back(window);
    // The dialog closes inside its own OK handler; look at the document once that has returned.
    window->installEventFilter(new CloseWatcher(window, [this] { QTimer::singleShot(0, this, [this] { DialogClosed(); }); }));
}

void MainWindow::DialogClosed() {
    if (!session_) return;
    const std::string& now = session_->Fingerprint();
    if (now == shownFingerprint_) {
        statusBar()->showMessage(QStringLiteral("Dialog geschlossen, Rechnung unverändert"), 5000);
        return;
    }
    shownFingerprint_ = now;
    RefreshPreview(true);
    UpdateState();
    QString message = QStringLiteral("Gebühren in die Rechnung geschrieben; der Datensatz wird mit dem Speichern eingetragen");
    if (const int logged = session_->Logged(); logged > 0)
        message += QStringLiteral("; Verw.log: %1 neue Einträge in %2").arg(logged).arg(P(session_->LogFile()));
    statusBar()->showMessage(message);
}

void MainWindow::RefreshPreview(bool scrollToNewTable) {
    const auto before = preview_->TableIds();
    preview_->Render(session_ ? &session_->Document() : nullptr, markers_->isChecked());
    if (!scrollToNewTable) return;
    // A confirmation writes its fee table anew and the totals after it: the first
    // table the preview did not have before is the one just written.
    for (int64_t id : preview_->TableIds()) {
        if (std::find(before.begin(), before.end(), id) == before.end()) {
            preview_->ScrollToTable(id);
            break;
        }
    }
}

bool MainWindow::Save() {
    if (!session_) return false;
    if (!docPath_.empty()) return SaveAs(docPath_);
    SaveAsDialog();
    return !session_->Unsaved();
}

bool MainWindow::SaveAs(const fs::path& target) {
    if (!session_) return false;
    // The record the dialogs wrote is entered with this save, or neither is.
    if (auto problem = session_->Confirm(target, invoice_)) {
        Tell(QStringLiteral("Speichern"), Q(problem->message));
        return false;
    }
    docPath_ = target;
    UpdateState();
    statusBar()->showMessage(QStringLiteral("Gespeichert: ") + P(target), 8000);
    return true;
}

void MainWindow::ExportPdf(const fs::path& target) {
    if (!session_) return;
    if (PdfExport::Program().isEmpty()) {
        const QString missing = QStringLiteral(
            "PDF-Export nicht möglich: LibreOffice ist nicht installiert (soffice nicht im Suchpfad). "
            "Das Paket libreoffice-writer-nogui installieren.");
        Tell(QStringLiteral("PDF-Export"), missing);
        return;
    }
    const bool started = pdf_->Start(session_->Document().ToBytes(), target, [this](bool ok, const QString& message) {
        UpdateState();
        if (ok) statusBar()->showMessage(message);
        else Tell(QStringLiteral("PDF-Export"), message);
    });
    if (started && pdf_->Running()) statusBar()->showMessage(QStringLiteral("PDF-Export läuft: ") + P(target));
    UpdateState();
}

bool MainWindow::ExportEInvoice(const fs::path& target) {
    const QString title = QStringLiteral("E-Rechnung (XRechnung) exportieren");
    if (!session_ || !invoice_) {
        Tell(title, QStringLiteral("E-Rechnung nicht erstellt: kein Rechnungsdatensatz gewählt (Datei > Rechnungsdatensatz wählen)"));
        return false;
    }
    try {
        if (auto refusal = einvoicing::ExportFile(session_->Database(), session_->Document(), *invoice_, target, user_)) {
            Tell(title, Q(refusal->Text()));
            return false;
        }
    } catch (const std::exception& e) {
        Tell(title, QStringLiteral("E-Rechnung nicht erstellt: ") + QString::fromUtf8(e.what()));
        return false;
    }
    statusBar()->showMessage(QStringLiteral("E-Rechnung geschrieben: ") + P(target));
    return true;
}

void MainWindow::PrintDialog() {
    if (!session_) return;
    const PrinterList printers = SystemPrinters();
    if (!printers.problem.isEmpty()) {
        Tell(QStringLiteral("Drucken"), printers.problem);
        return;
    }
    if (printers.names.isEmpty()) {
        Tell(QStringLiteral("Drucken"),
             QStringLiteral("Kein Drucker eingerichtet. Einen Drucker im Drucksystem (CUPS) einrichten "
                            "oder die Rechnung als PDF exportieren."));
        return;
    }
    gui::PrintDialog dialog(printers, docPath_.empty() ? QStringLiteral("Unbenannt") : P(docPath_.filename()), this);
    if (dialog.exec() == QDialog::Accepted) Print(dialog.Printer());
}

void MainWindow::Print(const QString& printer) {
    if (!session_ || printer.isEmpty()) return;
    if (PdfExport::Program().isEmpty()) {
        Tell(QStringLiteral("Drucken"),
             QStringLiteral("Drucken nicht möglich: LibreOffice ist nicht installiert (soffice nicht im Suchpfad)."));
        return;
    }
    // LibreOffice lays the invoice out into a PDF that CUPS prints.
    auto work = std::make_shared<QTemporaryDir>();
    const fs::path pdf = fs::path(work->path().toStdString()) / "Rechnung.pdf";
    const QString title = docPath_.empty() ? QStringLiteral("Rechnung") : P(docPath_.stem());
    const bool started =
        printPdf_->Start(session_->Document().ToBytes(), pdf, [this, work, pdf, printer, title](bool ok, const QString& message) {
            UpdateState();
            if (!ok) {
                Tell(QStringLiteral("Drucken"), message);
                return;
            }
            QString said;
            const QString failure = SendToPrinter(printer, pdf, title, &said);
            if (!failure.isEmpty()) Tell(QStringLiteral("Drucken"), failure);
            else statusBar()->showMessage(QStringLiteral("An „%1“ gesendet: %2").arg(printer, said));
        });
    if (started && printPdf_->Running())
        statusBar()->showMessage(QStringLiteral("Druck auf „%1“ wird vorbereitet …").arg(printer));
    UpdateState();
}

bool MainWindow::PrintRunning() const { return printPdf_->Running(); }

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!MayDiscard(QStringLiteral("Schließen"))) {
        event->ignore();
        return;
    }
    EndSession();
    event->accept();
}

void MainWindow::Tell(const QString& title, const QString& text) {
    statusBar()->showMessage(text);
    // Not modal to the program: the window goes on (a running export, the dialogs).
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("meldung"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

QString MainWindow::StartFolder() const { return docPath_.empty() ? P(dbPath_.parent_path()) : P(docPath_.parent_path()); }

void MainWindow::OpenDocumentDialog() {
    const QString doc = QFileDialog::getOpenFileName(this, QStringLiteral("Rechnung öffnen"), StartFolder(),
                                                     QStringLiteral("Word-Dokumente (*.docx)"));
    if (doc.isEmpty()) return;
    fs::path db = dbPath_;
    if (db.empty()) {
        const QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("Datenbank des Hosts wählen"),
                                                            QFileInfo(doc).path(),
                                                            QStringLiteral("Datenbanken (*.sqlite *.db);;Alle Dateien (*)"));
        if (chosen.isEmpty()) return;
        db = F(chosen);
    }
    OpenFiles(db, F(doc));
}

void MainWindow::ChooseDatabaseDialog() {
    const QString db = QFileDialog::getOpenFileName(this, QStringLiteral("Datenbank des Hosts wählen"), StartFolder(),
                                                    QStringLiteral("Datenbanken (*.sqlite *.db);;Alle Dateien (*)"));
    if (!db.isEmpty() && OpenFiles(F(db), docPath_)) ChooseInvoice();
}

void MainWindow::SaveAsDialog() {
    if (!session_) return;
    QString target = QFileDialog::getSaveFileName(this, QStringLiteral("Rechnung speichern unter"),
                                                  docPath_.empty() ? StartFolder() : P(docPath_),
                                                  QStringLiteral("Word-Dokumente (*.docx)"));
    if (target.isEmpty()) return;
    if (!target.endsWith(QStringLiteral(".docx"), Qt::CaseInsensitive)) target += QStringLiteral(".docx");
    SaveAs(F(target));
}

void MainWindow::ExportDialog() {
    if (!session_) return;
    fs::path suggestion = docPath_.empty() ? dbPath_.parent_path() / "Rechnung.pdf" : docPath_;
    suggestion.replace_extension(".pdf");
    QString target = QFileDialog::getSaveFileName(this, QStringLiteral("Als PDF exportieren"), P(suggestion),
                                                  QStringLiteral("PDF (*.pdf)"));
    if (target.isEmpty()) return;
    if (!target.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) target += QStringLiteral(".pdf");
    ExportPdf(F(target));
}

int RunGui(const GuiStart& start, int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kado-host"));
    // File dialogs, key names and standard buttons in the clerk's language.
    if (qtview::InstallGermanTranslations(app).isEmpty())
        qWarning("kado-host: Qts deutsche Übersetzungen fehlen (Paket qt6-translations-l10n)");
    MainWindow window(start.user);
    window.show();
    if (start.db.empty()) window.ReopenLast();
    if (!start.db.empty() && window.OpenFiles(start.db, start.doc) && start.invoice &&
        !window.SetInvoice(start.invoice)) {
        QMessageBox::warning(&window, QStringLiteral("kado-host"),
                             QStringLiteral("Rechnung %1 nicht gefunden; keine Rechnung gewählt").arg(*start.invoice));
    }
    return QApplication::exec();
}

}  // namespace kado::host::gui
