#include "platform/com/error_log.h"

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

Failure FailureFromCurrentException(int32_t step) noexcept {
    Failure f;
    f.step = step;
    try {
        try {
            throw;
        } catch (const Error& e) {
            f.number = e.Number();
            f.description = e.Description();
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

// Text is written as UTF-8: on this platform the system code page is UTF-8.
void AppendErrorLogEntry(const std::filesystem::path& log, std::string_view modulname,
                         std::string_view funktionsname, const Failure& failure) noexcept {
    try {
        std::string entry = Stamp() + "Error " + std::to_string(failure.number) + ": \r\n" + failure.description +
                            "\r\nZeile: " + std::to_string(failure.step) + "\r\nOrt  : -KadoDienste- " +
                            std::string(modulname) + "." + std::string(funktionsname) +
                            "\r\nUser : ohne, ohne\r\n\r\n";
        int fd = ::open(log.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0) {
            // One write per entry: O_APPEND keeps entries of two processes whole.
            ssize_t n = ::write(fd, entry.data(), entry.size());
            (void)n;
            ::close(fd);
        }
    } catch (...) {
    }
}

}  // namespace kado::com
