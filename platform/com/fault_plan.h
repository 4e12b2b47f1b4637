// Fault injection for the platform stand-ins: the k-th call into the document
// engine, the database layer or the settings store fails with a platform error,
// so that tests can prove a failing call is logged and the work goes on.
//
// Every public member function of those interfaces starts with a probe. Each
// area counts its calls; a planned failure k makes the k-th call throw Error
// 440 before it does anything. Calls an area makes to its own public surface
// while serving a call count as part of that call, not again.
//
// Tests plan in-process (Plan, Calls, Reset). For a whole process the variable
// KADO_FAULTS ("word=17", "dao=3,settings=1") is read once when the library
// loads; its calls count from the start of the process.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

namespace kado::com::faults {

enum class Area : int { Word = 0, Dao = 1, Settings = 2 };
inline constexpr int kAreas = 3;

struct AreaCounter {
    std::atomic<uint64_t> calls{0};
    std::atomic<uint64_t> failAt{0};  // 0: no planned failure
};

// Process-wide state behind the probes (one copy: kado_com is shared). The
// depth is read without a call: no dynamic initialisation, initial-exec TLS.
extern AreaCounter g_areas[kAreas];
extern constinit thread_local unsigned t_depth [[gnu::tls_model("initial-exec")]];

// "word", "dao", "settings" (the names KADO_FAULTS uses).
std::string_view AreaName(Area area);
// "the document engine", "the database layer", "the settings store".
std::string_view AreaDescription(Area area);

// From now on call k (1-based) of the area fails, once; its count starts at 0.
// k = 0 removes the plan and leaves the count alone.
void Plan(Area area, uint64_t k);
// Calls of the area since the last Plan or Reset.
uint64_t Calls(Area area);
// Every count back to 0, no plan left.
void Reset();
// Reads a plan text like "word=17,settings=1" and plans it; entries it cannot
// read are named in `rejected` (empty when everything was read).
void PlanFromText(std::string_view text, std::string& rejected);

// The text of an injected failure: "injected fault: call 17 of the document
// engine (kado::word::Range::Text)". Tests find the entry it made by it.
std::string InjectedText(Area area, uint64_t call, std::string_view function);
inline constexpr std::string_view kInjectedPrefix = "injected fault: ";
// The text of the last failure injected since Reset (empty when none was): what
// failed even where the failure was swallowed without a trace.
std::string LastInjected();

// Throws the injected Error (440) for call `call` in `function` (a
// __PRETTY_FUNCTION__ text; its qualified name goes into the message).
[[noreturn]] void FailInjected(Area area, uint64_t call, const char* function);

// The probe itself: construct it first thing in a public member function.
class Probe {
public:
    Probe(Area area, const char* function) {
        if (t_depth++ != 0) return;  // a call the area makes to itself
        AreaCounter& c = g_areas[static_cast<int>(area)];
        // The calls come from one thread (the host's user-interface thread):
        // no locked increment, the atomics only keep other readers defined.
        const uint64_t n = c.calls.load(std::memory_order_relaxed) + 1;
        c.calls.store(n, std::memory_order_relaxed);
        if (n == c.failAt.load(std::memory_order_relaxed)) [[unlikely]] {
            --t_depth;  // no destructor runs for a throwing constructor
            FailInjected(area, n, function);
        }
    }
    ~Probe() { --t_depth; }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;
};

}  // namespace kado::com::faults

// First statement of every probed function: KADO_FAULT_PROBE(Word);
#define KADO_FAULT_PROBE(area) \
    const ::kado::com::faults::Probe kado_fault_probe_(::kado::com::faults::Area::area, __PRETTY_FUNCTION__)
