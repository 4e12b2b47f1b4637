// A print scheduler of the test's own: cupsd with its configuration, spool and
// PDF queues in a temporary folder, on 127.0.0.1 at a free port. A scheduler
// the system runs is not touched; clients reach this one by CUPS_SERVER.
#pragma once

#include <QProcess>
#include <filesystem>
#include <optional>
#include <string>

#include "support/temp_dir.h"

namespace kado::host::gui::test {

class OwnCups {
public:
    OwnCups() = default;
    OwnCups(const OwnCups&) = delete;
    OwnCups& operator=(const OwnCups&) = delete;
    ~OwnCups();

    // Starts the scheduler; empty when it answers, else why it could not be started.
    std::string Start();
    // "127.0.0.1:PORT", what CUPS_SERVER names.
    std::string Server() const { return "127.0.0.1:" + std::to_string(port_); }
    // A queue that writes what it prints, as PDF, to Printed(name); empty or the failure.
    std::string AddPdfQueue(const std::string& name);
    std::string SetDefault(const std::string& name);
    std::filesystem::path Printed(const std::string& name) const { return dir_ / "out" / (name + ".pdf"); }
    // The scheduler's log, for a failure message.
    std::string Log() const;

private:
    std::string Admin(const std::string& args);

    std::optional<kado::testing::TempDir> folder_;  // made by Start, removed after the scheduler stopped
    std::filesystem::path dir_;
    int port_ = 0;
    QProcess cupsd_;
};

}  // namespace kado::host::gui::test
