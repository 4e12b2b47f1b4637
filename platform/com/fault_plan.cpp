#include "platform/com/fault_plan.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "platform/com/error.h"

namespace kado::com::faults {

AreaCounter g_areas[kAreas];
constinit thread_local unsigned t_depth [[gnu::tls_model("initial-exec")]] = 0;

namespace {

std::string& Injected() {
    static std::string text;
    return text;
}

constexpr std::string_view kNames[kAreas] = {"word", "dao", "settings"};
constexpr std::string_view kDescriptions[kAreas] = {"the document engine", "the database layer",
                                                    "the settings store"};

// "std::string kado::word::Range::Text() const" -> "kado::word::Range::Text".
std::string_view QualifiedName(std::string_view pretty) {
    const size_t paren = pretty.find('(');
    if (paren == std::string_view::npos) return pretty;
    pretty = pretty.substr(0, paren);
    const size_t space = pretty.rfind(' ');
    return space == std::string_view::npos ? pretty : pretty.substr(space + 1);
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// KADO_FAULTS plans a whole process; read once, when the library loads.
struct FromEnvironment {
    FromEnvironment() {
        const char* text = std::getenv("KADO_FAULTS");
        if (!text || !*text) return;
        std::string rejected;
        PlanFromText(text, rejected);
        if (!rejected.empty()) std::fprintf(stderr, "KADO_FAULTS: ignored %s\n", rejected.c_str());
    }
} g_fromEnvironment;

}  // namespace

std::string_view AreaName(Area area) { return kNames[static_cast<int>(area)]; }
std::string_view AreaDescription(Area area) { return kDescriptions[static_cast<int>(area)]; }

void Plan(Area area, uint64_t k) {
    AreaCounter& c = g_areas[static_cast<int>(area)];
    if (k != 0) c.calls.store(0, std::memory_order_relaxed);
    c.failAt.store(k, std::memory_order_relaxed);
}

uint64_t Calls(Area area) { return g_areas[static_cast<int>(area)].calls.load(std::memory_order_relaxed); }

void Reset() {
    for (auto& c : g_areas) {
        c.failAt.store(0, std::memory_order_relaxed);
        c.calls.store(0, std::memory_order_relaxed);
    }
    Injected().clear();
}

void PlanFromText(std::string_view text, std::string& rejected) {
    rejected.clear();
    while (!text.empty()) {
        const size_t comma = text.find_first_of(",;");
        const std::string_view entry = Trim(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        if (entry.empty()) continue;
        const size_t eq = entry.find('=');
        const std::string_view name = Trim(entry.substr(0, eq));
        const std::string_view number = eq == std::string_view::npos ? std::string_view{} : Trim(entry.substr(eq + 1));
        uint64_t k = 0;
        const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), k);
        int area = 0;
        while (area < kAreas && kNames[area] != name) ++area;
        if (area == kAreas || number.empty() || ec != std::errc() || end != number.data() + number.size() || k == 0) {
            rejected += (rejected.empty() ? "'" : ", '") + std::string(entry) + "'";
            continue;
        }
        Plan(static_cast<Area>(area), k);
    }
}

std::string InjectedText(Area area, uint64_t call, std::string_view function) {
    return std::string(kInjectedPrefix) + "call " + std::to_string(call) + " of " +
           std::string(AreaDescription(area)) + " (" + std::string(QualifiedName(function)) + ")";
}

std::string LastInjected() { return Injected(); }

void FailInjected(Area area, uint64_t call, const char* function) {
    Injected() = InjectedText(area, call, function ? function : "?");
    Raise(err::AutomationError, Injected());
}

}  // namespace kado::com::faults
