#include "host/gui/printing.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace kado::host::gui {
namespace {

constexpr int kWaitMs = 30'000;

// Runs a print-system tool; false when it is missing, did not start or failed.
bool Run(const QString& tool, const QStringList& args, QString& out, QString& err, bool english = false) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) return false;
    QProcess p;
    if (english) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        p.setProcessEnvironment(env);
    }
    p.start(program, args);
    if (!p.waitForFinished(kWaitMs)) {
        p.kill();
        p.waitForFinished(1000);
        err = QStringLiteral("%1 antwortet nicht").arg(tool);
        return false;
    }
    out = QString::fromLocal8Bit(p.readAllStandardOutput());
    err = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

}  // namespace

PrinterList SystemPrinters() {
    PrinterList list;
    if (QStandardPaths::findExecutable(QStringLiteral("lpstat")).isEmpty()) {
        list.problem = QStringLiteral("Drucken nicht möglich: kein Drucksystem installiert (CUPS, Programm lpstat fehlt).");
        return list;
    }
    QString out, err;
    // Without any queue lpstat -e says nothing or fails; both mean "no printer".
    if (Run(QStringLiteral("lpstat"), {QStringLiteral("-e")}, out, err)) {
        for (const QString& line : out.split(u'\n', Qt::SkipEmptyParts)) list.names << line.trimmed();
    }
    // lpstat lists nothing, and succeeds, when the scheduler does not run; its
    // status line (read untranslated) tells that apart from a system without queues.
    if (list.names.isEmpty() && Run(QStringLiteral("lpstat"), {QStringLiteral("-r")}, out, err, true) &&
        out.contains(QStringLiteral("not running"))) {
        list.problem = QStringLiteral("Drucken nicht möglich: das Drucksystem (CUPS) läuft nicht oder ist nicht erreichbar.");
        return list;
    }
    if (Run(QStringLiteral("lpstat"), {QStringLiteral("-d")}, out, err)) {
        const qsizetype colon = out.lastIndexOf(u':');
        const QString name = colon < 0 ? QString() : out.mid(colon + 1).trimmed();
        if (list.names.contains(name)) list.standard = name;
    }
    return list;
}

QString SendToPrinter(const QString& printer, const std::filesystem::path& file, const QString& title, QString* said) {
    QString out, err;
    const QStringList args{QStringLiteral("-d"), printer, QStringLiteral("-t"), title,
                           QString::fromStdString(file.string())};
    if (QStandardPaths::findExecutable(QStringLiteral("lp")).isEmpty())
        return QStringLiteral("Drucken nicht möglich: das Programm lp (CUPS) fehlt.");
    if (!Run(QStringLiteral("lp"), args, out, err))
        return QStringLiteral("Drucken auf „%1“ fehlgeschlagen%2").arg(printer, err.isEmpty() ? QString() : ": " + err);
    if (said) *said = out.trimmed();
    return {};
}

PrintDialog::PrintDialog(const PrinterList& printers, const QString& document, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("drucken"));
    setWindowTitle(QStringLiteral("Drucken"));
    printers_ = new QComboBox;
    printers_->setObjectName(QStringLiteral("drucker"));
    printers_->addItems(printers.names);
    if (!printers.standard.isEmpty()) printers_->setCurrentText(printers.standard);
    auto* label = new QLabel(QStringLiteral("&Drucker:"));
    label->setBuddy(printers_);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Dokument:"), new QLabel(document));
    form->addRow(label, printers_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("D&rucken"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(buttons);
}

QString PrintDialog::Printer() const { return printers_->currentText(); }

}  // namespace kado::host::gui
