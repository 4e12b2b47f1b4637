// The failure idiom of every procedure: numbered statements whose failure is
// handed to an error log, after which the procedure goes on with the next one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <span>
#include <utility>
#include <vector>

#include "platform/com/error.h"
#include "platform/com/error_log.h"

namespace kado::com {

// Log is a callable (moduleName, procedureName, const Failure&) that never throws;
// it decides where the entry goes.
//
// Usage:
//   BasicSteps<MyLog> s("GebührenTabelle", "SummeBilden");
//   s(100, [&] { ... });
//   s(110, [&] { ... });
// Each call runs one statement; a throw is logged with the step number and
// the call returns false, so the procedure goes on with its next statement.
template <class Log>
class BasicSteps {
public:
    BasicSteps(std::string_view moduleName, std::string_view procedureName, Log log = Log{})
        : module_(moduleName), procedure_(procedureName), log_(std::move(log)) {}

    template <class F>
    bool operator()(int32_t step, F&& statement) noexcept {
        std::optional<Failure> failed = Run(step, std::forward<F>(statement));
        if (!failed) return true;
        ++failures_;
        log_(module_, procedure_, *failed);
        return false;
    }

    // The statement step(i) for each i in [from, to), each failing alone as above;
    // a log that takes several entries at once (Many) gets them in one go after
    // the last. Returns how many failed.
    template <class F>
    int Each(int32_t step, int from, int to, F&& statement) noexcept {
        std::vector<Failure> failed;
        for (int i = from; i < to; ++i)
            if (std::optional<Failure> f = Run(step, [&] { statement(i); })) Keep(failed, std::move(*f));
        failures_ += static_cast<int>(failed.size());
        if constexpr (requires { log_.Many(module_, procedure_, std::span<const Failure>(failed)); }) {
            if (!failed.empty()) log_.Many(module_, procedure_, std::span<const Failure>(failed));
        } else {
            for (const Failure& f : failed) log_(module_, procedure_, f);
        }
        return static_cast<int>(failed.size());
    }

    // Statements of a stretch whose failures are ignored without logging.
    template <class F>
    static bool Quiet(F&& statement) noexcept {
        try {
            std::forward<F>(statement)();
            return true;
        } catch (...) {
            return false;
        }
    }

    int Failures() const noexcept { return failures_; }

private:
    // The statement's failure, if it threw. Most failures are ours, recorded
    // without the rethrow the general case needs.
    template <class F>
    static std::optional<Failure> Run(int32_t step, F&& statement) noexcept {
        try {
            std::forward<F>(statement)();
            return std::nullopt;
        } catch (const Error& e) {
            return FailureOf(e, step);
        } catch (...) {
            return FailureFromCurrentException(step);
        }
    }

    // Out of memory for the list: that failure is logged alone, at once.
    void Keep(std::vector<Failure>& failed, Failure f) noexcept {
        try {
            failed.push_back(std::move(f));
        } catch (...) {
            ++failures_;
            log_(module_, procedure_, f);
        }
    }

    std::string module_;
    std::string procedure_;
    Log log_;
    int failures_ = 0;
};

}  // namespace kado::com
