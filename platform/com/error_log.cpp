#include "platform/com/error_log.h"

#include <mutex>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <exception>

#include "platform/com/error.h"

namespace kado::com {
namespace {

std::string Stamp() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d.%d.%02d %02d:%02d   ", tm.tm_mday, tm.tm_mon + 1, tm.tm_year % 100,
                  tm.tm_hour, tm.tm_min);
    return buf;
}

}  // namespace

Failure FailureOf(const Error& e, int32_t step) noexcept {
    Failure f;
    f.step = step;
    f.number = e.Number();
    try {
        f.description = e.Description();
    } catch (...) {
    }
    return f;
}

Failure FailureFromCurrentException(int32_t step) noexcept {
    Failure f;
    f.step = step;
    try {
        try {
            throw;
        } catch (const Error& e) {
            return FailureOf(e, step);
        } catch (const std::exception& e) {
            f.number = err::InvalidProcedureCall;
            f.description = e.what();
        } catch (...) {
            f.number = err::InvalidProcedureCall;
            f.description = "Unknown failure";
        }
    } catch (...) {
    }
    return f;
}

namespace {

// Process-wide by nature: one process, one record of what it logged. The
// host's user-interface thread is the only writer, the mutex keeps a reader
// on another thread defined.
std::mutex g_writtenMutex;
int g_writtenCount = 0;
std::vector<std::string> g_written;  // the first kKeptEntries*8 entries' lines

std::string Joined(const std::string& entry) {
    std::string out;
    size_t at = 0;
    while (at < entry.size()) {
        size_t end = entry.find("\r\n", at);
        if (end == std::string::npos) end = entry.size();
        if (end > at) out += (out.empty() ? "" : " | ") + entry.substr(at, end - at);
        at = end + 2;
    }
    return out;
}

void Remember(const std::string& entry) {
    const std::lock_guard lock(g_writtenMutex);
    if (g_written.size() < static_cast<size_t>(kKeptEntries) * 8) g_written.push_back(Joined(entry));
    ++g_writtenCount;
}

}  // namespace

int EntriesWritten() {
    const std::lock_guard lock(g_writtenMutex);
    return g_writtenCount;
}

WrittenEntries EntriesWrittenSince(int since) {
    const std::lock_guard lock(g_writtenMutex);
    WrittenEntries out;
    out.count = g_writtenCount > since ? g_writtenCount - since : 0;
    for (size_t i = static_cast<size_t>(since > 0 ? since : 0); i < g_written.size() && out.first.size() < kKeptEntries; ++i)
        out.first.push_back(g_written[i]);
    return out;
}

namespace {

// Text is written as UTF-8: on this platform the system code page is UTF-8.
std::string Entry(const std::string& stamp, std::string_view moduleName, std::string_view procedureName,
                  const Failure& failure) {
    return stamp + "Error " + std::to_string(failure.number) + ": \r\n" + failure.description +
           "\r\nZeile: " + std::to_string(failure.step) + "\r\nOrt  : -KadoDienste- " + std::string(moduleName) + "." +
           std::string(procedureName) + "\r\nUser : ohne, ohne\r\n\r\n";
}

// One write: O_APPEND keeps the entries of two processes whole.
void Append(const std::filesystem::path& log, const std::string& text) {
    int fd = ::open(log.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
        ssize_t n = ::write(fd, text.data(), text.size());
        (void)n;
        ::close(fd);
    }
}

}  // namespace

void AppendErrorLogEntry(const std::filesystem::path& log, std::string_view moduleName,
                         std::string_view procedureName, const Failure& failure) noexcept {
    AppendErrorLogEntries(log, moduleName, procedureName, std::span(&failure, 1));
}

void AppendErrorLogEntries(const std::filesystem::path& log, std::string_view moduleName,
                           std::string_view procedureName, std::span<const Failure> failures) noexcept {
    try {
        const std::string stamp = Stamp();
        std::string text;
        for (const Failure& f : failures) {
            std::string entry = Entry(stamp, moduleName, procedureName, f);
            Remember(entry);
            text += entry;
        }
        if (!text.empty()) Append(log, text);
    } catch (...) {
    }
}

}  // namespace kado::com
