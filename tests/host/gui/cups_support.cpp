#include "cups_support.h"

#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QStandardPaths>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace kado::host::gui::test {
namespace {

namespace fs = std::filesystem;

// A port nobody listens on now; the scheduler takes it a moment later.
int FreePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &n) == 0)
        port = ntohs(a.sin_port);
    ::close(s);
    return port;
}

std::string Output(const std::string& cmd) {
    std::string out;
    if (FILE* p = ::popen((cmd + " 2>&1").c_str(), "r")) {
        char buf[512];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        if (::pclose(p) != 0) out = "failed: " + out;
    }
    return out;
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

}  // namespace

OwnCups::~OwnCups() {
    if (cupsd_.state() != QProcess::NotRunning) {
        cupsd_.terminate();
        if (!cupsd_.waitForFinished(5000)) {
            cupsd_.kill();
            cupsd_.waitForFinished(2000);
        }
    }
}

std::string OwnCups::Start() {
    const QString cupsd =
        QStandardPaths::findExecutable(QStringLiteral("cupsd"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (cupsd.isEmpty()) return "cupsd is not installed (setup.sh installs cups)";
    if (QStandardPaths::findExecutable(QStringLiteral("lpadmin")).isEmpty()) return "lpadmin is not installed";
    // The scheduler's jobs run as its own user: the folders must be open to it.
    try {
        dir_ = folder_.emplace("kado-cups").Path();
    } catch (const fs::filesystem_error&) {
        return "no temporary folder";
    }
    for (const char* sub : {"spool", "tmp", "cache", "state", "log", "out"}) fs::create_directories(dir_ / sub);
    fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(dir_ / "out", fs::perms::all | fs::perms::sticky_bit);
    port_ = FreePort();
    if (port_ == 0) return "no free port on 127.0.0.1";
    std::ofstream(dir_ / "cupsd.conf") << "Listen 127.0.0.1:" << port_
                                       << "\nBrowsing No\nWebInterface No\nDefaultAuthType None\nLogLevel info\n"
                                          "<Location />\nOrder allow,deny\nAllow all\n</Location>\n"
                                          "<Location /admin>\nOrder allow,deny\nAllow all\n</Location>\n";
    const std::string d = dir_.string();
    std::ofstream(dir_ / "cups-files.conf") << "ServerRoot " << d << "\nRequestRoot " << d << "/spool\nTempDir " << d
                                            << "/tmp\nCacheDir " << d << "/cache\nStateDir " << d << "/state\nErrorLog "
                                            << d << "/log/error_log\nAccessLog " << d << "/log/access_log\nPageLog "
                                            << d << "/log/page_log\nPrintcap " << d << "/printcap\nFileDevice Yes\n";
    cupsd_.setProcessChannelMode(QProcess::MergedChannels);
    cupsd_.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), QString::fromStdString(d + "/cupsd.conf"),
                         QStringLiteral("-s"), QString::fromStdString(d + "/cups-files.conf")});
    if (!cupsd_.waitForStarted(5000)) return "cupsd did not start: " + cupsd_.errorString().toStdString();
    for (int i = 0; i < 100; ++i) {
        if (cupsd_.state() == QProcess::NotRunning)
            return "cupsd ended at once: " + cupsd_.readAll().toStdString() + Log();
        if (Output("LC_ALL=C lpstat -h " + Server() + " -r") == "scheduler is running\n") return {};
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "cupsd does not answer on " + Server() + ": " + Log();
}

std::string OwnCups::Admin(const std::string& args) {
    const std::string out = Output("lpadmin -h " + Server() + " " + args);
    return out.starts_with("failed: ") ? out : std::string();
}

std::string OwnCups::AddPdfQueue(const std::string& name) {
    // The generic PDF driver passes the PDF on as it is; a queue without a driver would print nothing to a file.
    const fs::path ppd = "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd";
    if (!fs::exists(ppd)) return ppd.string() + " is missing (setup.sh installs cups)";
    return Admin("-p " + Quoted(name) + " -E -v " + Quoted("file://" + Printed(name).string()) + " -P " +
                 Quoted(ppd.string()));
}

std::string OwnCups::SetDefault(const std::string& name) { return Admin("-d " + Quoted(name)); }

std::string OwnCups::Log() const {
    std::ifstream in(dir_ / "log" / "error_log");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace kado::host::gui::test
