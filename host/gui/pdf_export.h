// A PDF of the invoice through LibreOffice in the background: the window goes
// on while soffice converts a copy of the document with a profile of its own.
#pragma once

#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class QProcess;
class QTemporaryDir;
class QTimer;

namespace kado::host::gui {

class PdfExport : public QObject {
public:
    using Done = std::function<void(bool ok, const QString& message)>;

    explicit PdfExport(QObject* parent = nullptr);
    ~PdfExport() override;

    // LibreOffice's soffice on the search path; empty when it is not installed.
    static QString Program();

    // Converts the DOCX bytes into a PDF at `target`; `done` tells how it ended,
    // in the window's words. False (and nothing started) when soffice is
    // missing or an export is still running; `done` then is not called.
    bool Start(const std::string& docx, const std::filesystem::path& target, Done done);
    bool Running() const;

private:
    void Finish(bool ok, const QString& message);

    std::unique_ptr<QTemporaryDir> work_;  // input, output and the private profile
    QProcess* process_ = nullptr;
    QTimer* timeout_ = nullptr;
    std::filesystem::path target_;
    Done done_;
};

}  // namespace kado::host::gui
