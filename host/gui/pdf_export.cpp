#include "host/gui/pdf_export.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <fstream>
#include <iterator>

#include "platform/com/atomic_file.h"

namespace kado::host::gui {
namespace {

namespace fs = std::filesystem;

// A first start of soffice sets up its profile, which takes a while on a busy machine.
constexpr int kTimeoutMs = 240'000;

QString P(const fs::path& p) { return QString::fromStdString(p.string()); }

}  // namespace

PdfExport::PdfExport(QObject* parent) : QObject(parent) {}

PdfExport::~PdfExport() {
    if (process_ && process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished(5000);
    }
}

QString PdfExport::Program() { return QStandardPaths::findExecutable(QStringLiteral("soffice")); }

bool PdfExport::Running() const { return process_ != nullptr; }

bool PdfExport::Start(const std::string& docx, const fs::path& target, Done done) {
    const QString program = Program();
    if (program.isEmpty() || Running()) return false;
    work_ = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("kado-pdf-XXXXXX")));
    if (!work_->isValid()) {
        done(false, QStringLiteral("PDF-Export: kein temporärer Ordner: ") + work_->errorString());
        work_.reset();
        return true;
    }
    const fs::path dir = work_->path().toStdString();
    const fs::path input = dir / (target.stem().string() + ".docx");
    {
        std::ofstream out(input, std::ios::binary);
        out.write(docx.data(), static_cast<std::streamsize>(docx.size()));
    }
    target_ = target;
    done_ = std::move(done);
    process_ = new QProcess(this);
    timeout_ = new QTimer(this);
    timeout_->setSingleShot(true);
    connect(timeout_, &QTimer::timeout, this, [this] {
        process_->kill();
        Finish(false, QStringLiteral("PDF-Export abgebrochen: LibreOffice hat nach %1 s nicht geantwortet")
                          .arg(kTimeoutMs / 1000));
    });
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            Finish(false, QStringLiteral("PDF-Export: soffice ließ sich nicht starten: ") + process_->errorString());
    });
    connect(process_, &QProcess::finished, this, [this, dir](int code, QProcess::ExitStatus status) {
        if (!process_) return;
        const fs::path pdf = dir / "pdf" / (target_.stem().string() + ".pdf");
        std::error_code ec;
        if (status != QProcess::NormalExit || code != 0 || !fs::is_regular_file(pdf, ec)) {
            const QString said = QString::fromLocal8Bit(process_->readAllStandardError()).trimmed();
            Finish(false, QStringLiteral("PDF-Export fehlgeschlagen (soffice, Exit %1)%2")
                              .arg(code)
                              .arg(said.isEmpty() ? QString() : QStringLiteral(": ") + said.section('\n', 0, 0)));
            return;
        }
        std::ifstream in(pdf, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        try {
            com::WriteFileAtomically(target_, bytes);
        } catch (const com::WriteFailure& e) {
            Finish(false, QStringLiteral("PDF-Export: %1 lässt sich nicht schreiben (%2)")
                              .arg(P(target_), QString::fromLocal8Bit(e.what())));
            return;
        }
        Finish(true, QStringLiteral("PDF exportiert: ") + P(target_));
    });
    // A profile per export: parallel runs of soffice otherwise collide on its lock.
    const QStringList args{QStringLiteral("--headless"),
                           QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(P(dir / "profile")).toString(),
                           QStringLiteral("--convert-to"),
                           QStringLiteral("pdf"),
                           QStringLiteral("--outdir"),
                           P(dir / "pdf"),
                           P(input)};
    timeout_->start(kTimeoutMs);
    process_->start(program, args);
    return true;
}

void PdfExport::Finish(bool ok, const QString& message) {
    if (!process_) return;
    timeout_->stop();
    timeout_->deleteLater();
    timeout_ = nullptr;
    // Finished or killed: the process object goes once its own signal is done.
    process_->disconnect(this);
    process_->deleteLater();
    process_ = nullptr;
    work_.reset();
    Done done = std::move(done_);
    done_ = nullptr;
    if (done) done(ok, message);
}

}  // namespace kado::host::gui
