// The stand-in host's main window: the document area in which the component's
// fee dialogs open, the invoice preview beside it, the file menu of an office
// program and a status line with the invoice record's figures.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/gui/window_start.h"
#include "host/session.h"
#include "platform/forms/forms.h"

class QAction;
class QLabel;
class QMenu;
class QMdiArea;
class QMdiSubWindow;
class QSplitter;

namespace kado::qtview {
class QtDesktop;
}

namespace kado::host::gui {

class InvoicePreview;
class PdfExport;

// The handle under which the window registers its document area; Show gets it as hWndMDI.
inline constexpr forms::WindowHandle kDocumentArea = 0x4B41;

class MainWindow : public QMainWindow {
public:
    explicit MainWindow(int user = 1);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Opens the host database and the invoice (an empty path: a new document) for a
    // session with the component, after asking about unsaved changes. False when the
    // user kept the old one or it failed; the failure is shown in a message box.
    bool OpenFiles(const std::filesystem::path& db, const std::filesystem::path& doc);
    // The Rechnung record the next Show hands to the component; false for an id the
    // database does not have.
    bool SetInvoice(std::optional<int> id);
    // Asks for the record on the form "Rechnung wählen"; false when the user cancelled.
    bool ChooseInvoice();
    // Shows the fee dialog of Show's index inside the document area.
    void ShowCategory(int index);
    // Saves in place (atomically); without a file name it asks for one.
    bool Save();
    bool SaveAs(const std::filesystem::path& target);
    // Starts the export; the outcome goes to the status line (and a message box on failure).
    void ExportPdf(const std::filesystem::path& target);
    // The open invoice and its record as an e-invoice (XRechnung) at `target`, with
    // kado-host einvoicing's checks; a refusal is shown and nothing written.
    bool ExportEInvoice(const std::filesystem::path& target);
    // Prints the invoice through LibreOffice's PDF to the printer; the outcome as for the export.
    void Print(const QString& printer);
    // Opens again what the last session had open (database, invoice, record); false when nothing was.
    bool ReopenLast();
    // The recently opened invoices as the Datei menu lists them, newest first: (database, document).
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> Recent() const;

    HostSession* Session() const { return session_.get(); }
    QMdiArea* DocumentArea() const { return area_; }
    InvoicePreview* Preview() const { return preview_; }
    QLabel* Figures() const { return figures_; }
    QAction* CategoryAction(int index) const;
    QAction* MarkersAction() const { return markers_; }
    const std::filesystem::path& DocumentPath() const { return docPath_; }
    bool ExportRunning() const;
    bool PrintRunning() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void UpdateState();
    // Asks what to do with unsaved changes and open dialogs; false keeps everything as it is.
    bool MayDiscard(const QString& doing);
    void EndSession();
    void Watch(QMdiSubWindow* window);
    // After a fee dialog closed: preview, figures and title follow what it wrote.
    void DialogClosed();
    void RefreshPreview(bool scrollToNewTable);
    void ShowFigures();
    QString StartFolder() const;
    // A message in the status line and a box the user closes, without stopping the window.
    void Tell(const QString& title, const QString& text);
    void OpenDocumentDialog();
    void ChooseDatabaseDialog();
    void SaveAsDialog();
    void ExportDialog();
    void PrintDialog();
    void Remember();
    void FillRecentMenu();

    int user_;
    std::shared_ptr<qtview::QtDesktop> desktop_;
    std::unique_ptr<HostSession> session_;
    std::filesystem::path dbPath_, docPath_;
    std::optional<int> invoice_;
    std::string shownFingerprint_;  // the document as the preview last showed it

    QMdiArea* area_ = nullptr;
    QSplitter* split_ = nullptr;
    InvoicePreview* preview_ = nullptr;
    QLabel* figures_ = nullptr;
    PdfExport* pdf_ = nullptr;
    PdfExport* printPdf_ = nullptr;  // the PDF on its way to a printer
    QMenu* recent_ = nullptr;
    QAction* print_ = nullptr;
    std::vector<QAction*> categories_;
    QAction* markers_ = nullptr;
    QAction* save_ = nullptr;
    QAction* saveAs_ = nullptr;
    QAction* export_ = nullptr;
    QAction* chooseInvoice_ = nullptr;
    std::vector<QPointer<QMdiSubWindow>> watched_;
};

// kado-host gui: the window on the given files (none: an empty window), until it is closed.
int RunGui(const GuiStart& start, int argc, char** argv);

}  // namespace kado::host::gui
