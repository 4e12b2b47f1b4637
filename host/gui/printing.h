// Printing the invoice as LibreOffice lays it out: the system's printers as
// CUPS lists them, the dialog in which the clerk picks one, and the hand-over
// of the PDF to the queue.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <filesystem>

class QComboBox;

namespace kado::host::gui {

struct PrinterList {
    QStringList names;
    QString standard;  // the system's default destination, or empty
    QString problem;   // why there is no list (no print system), else empty
};

// The destinations of `lpstat -e` and the default of `lpstat -d`.
PrinterList SystemPrinters();

// Hands the file to the queue with `lp`; empty on success, else the failure in the clerk's words.
// `said` receives what lp answered (its request id).
QString SendToPrinter(const QString& printer, const std::filesystem::path& file, const QString& title, QString* said);

// "Drucken": the printer chosen from the list, the system's default preselected.
class PrintDialog : public QDialog {
public:
    PrintDialog(const PrinterList& printers, const QString& document, QWidget* parent);
    QString Printer() const;

private:
    QComboBox* printers_;
};

}  // namespace kado::host::gui
