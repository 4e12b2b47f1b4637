// What the user waits for on a long invoice: open the DOCX, Show, type the
// inputs, OK (fee table, totals, amount fields, payment term), save; at
// several invoice sizes, with the log-log slope of time against fee tables.
// Beside it the floor of any engine (unzip, parse, serialise, deflate,
// rename) and the part before the dialog opens.
#include <benchmark/benchmark.h>

#include <pugixml.hpp>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "bench/invoice_gen.h"
#include "host/heap.h"
#include "host/batch_run.h"
#include "platform/com/atomic_file.h"
#include "platform/word/package.h"
#include "platform/word/page_estimate.h"

namespace {

namespace fs = std::filesystem;
using namespace kado;

// This program's own folder and the generated invoices in it.
bench::Invoices& Files() {
    static bench::Invoices files("kado-bench-confirmation");
    return files;
}
const fs::path& Dir() { return Files().Dir(); }
const fs::path& Invoice(int tables) { return Files().With(tables); }

host::Action Act(const std::string& text) {
    std::string error;
    return *host::ParseAction(text, error);
}

// A run that failed makes the program fail, so the smoke run in the tests
// catches a broken confirmation (times are never judged).
bool failed = false;

void Fail(benchmark::State& state, const std::string& why) {
    failed = true;
    state.SkipWithError(why.c_str());
}

// Seconds per iteration of each size, for the slope.
std::map<std::string, std::map<int, double>>& Figures() {
    static std::map<std::string, std::map<int, double>> f;
    return f;
}

void Record(const char* name, benchmark::State& state, double seconds) {
    if (state.iterations() > 0) Figures()[name][static_cast<int>(state.range(0))] = seconds / static_cast<double>(state.iterations());
}

double Seconds(benchmark::State& state, auto&& body) {
    double total = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        body();
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    return total;
}

// Reopens the first fee table (the table choice answered with its first
// entry), recomputes it and confirms: read-back, delete, rewrite at the top.
void BM_Confirmation(benchmark::State& state) {
    const int tables = static_cast<int>(state.range(0));
    host::RunOptions o;
    o.db = Dir() / "kado.sqlite";
    o.doc = Invoice(tables);
    o.out = Dir() / ("out-" + std::to_string(tables) + ".docx");
    o.invoice = 1;
    o.actions.push_back(Act("choose optTabelle(0)"));
    for (auto& a : bench::DemoInputs()) o.actions.push_back(a);
    o.actions.push_back(Act("ok"));
    const double s = Seconds(state, [&] {
        std::ostringstream out, err;
        if (host::Run(o, out, err) != 0) Fail(state, err.str());
    });
    Record("confirmation", state, s);
    state.counters["tables"] = tables;
    state.counters["kB"] = static_cast<double>(fs::file_size(o.doc)) / 1024.0;
}

// Each category's demo job confirmed as a new fee table into the long invoice:
// the same path as above for every dialog, at two sizes.
void BM_CategoryConfirmation(benchmark::State& state) {
    const int category = static_cast<int>(state.range(0));
    const int tables = static_cast<int>(state.range(1));
    host::RunOptions o;
    o.db = Dir() / "kado.sqlite";
    o.doc = Invoice(tables);
    o.out = Dir() / ("out-" + std::to_string(category) + "-" + std::to_string(tables) + ".docx");
    o.invoice = 1;
    o.category = category;
    // The long invoice's tables are Grenzfeststellung tables: that dialog asks which
    // to reopen and gets a new one; the others find none of theirs.
    if (category == 0) o.actions.push_back(Act("choose optNeu"));
    for (auto& a : bench::DemoJob(category)) o.actions.push_back(a);
    o.actions.push_back(Act("ok"));
    const double s = Seconds(state, [&] {
        std::ostringstream out, err;
        if (host::Run(o, out, err) != 0) Fail(state, err.str());
    });
    if (state.iterations() > 0)
        Figures()["category " + std::to_string(category)][tables] = s / static_cast<double>(state.iterations());
}

// Open and Show, then Abbruch: what a user waits for before typing.
void BM_OpenToDialog(benchmark::State& state) {
    const int tables = static_cast<int>(state.range(0));
    host::RunOptions o;
    o.db = Dir() / "kado.sqlite";
    o.doc = Invoice(tables);
    o.invoice = 1;
    o.actions = {Act("choose optTabelle(0)"), Act("cancel")};
    const double s = Seconds(state, [&] {
        std::ostringstream out, err;
        if (host::Run(o, out, err) != 0) Fail(state, err.str());
    });
    Record("open_to_dialog", state, s);
}

// The floor: every part unzipped, each XML part parsed and serialised again,
// deflated into a new package and renamed into place.
void BM_Floor(benchmark::State& state) {
    const int tables = static_cast<int>(state.range(0));
    const fs::path in = Invoice(tables), out = Dir() / ("floor-" + std::to_string(tables) + ".docx");
    const double s = Seconds(state, [&] { bench::FloorPass(in, out); });
    Record("floor", state, s);
}

// The page estimate the preview draws its page breaks and the payment term by, after every OK.
void BM_PageEstimate(benchmark::State& state) {
    const auto doc = word::Document::Open(Invoice(static_cast<int>(state.range(0))));
    int pages = 0;
    const double s = Seconds(state, [&] { pages = word::EstimatePages(*doc).Count(); });
    state.counters["pages"] = pages;
    Record("page_estimate", state, s);
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (int n : {10, 50, 200, 1000}) b->Arg(n);
    b->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_Confirmation)->Apply(Sizes);
BENCHMARK(BM_OpenToDialog)->Apply(Sizes);
BENCHMARK(BM_Floor)->Apply(Sizes);
BENCHMARK(BM_PageEstimate)->Apply(Sizes);
BENCHMARK(BM_CategoryConfirmation)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {10, 200}})
    ->ArgNames({"category", "tables"})
    ->Unit(benchmark::kMillisecond);

// Least-squares slope of log(time) over log(tables), first to last size run.
int main(int argc, char** argv) {
    kado::host::PrepareHeap();  // as kado-host does
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& [name, bySize] : Figures()) {
        if (bySize.size() < 2) continue;
        double sx = 0, sy = 0, sxx = 0, sxy = 0;
        const double n = static_cast<double>(bySize.size());
        for (const auto& [tables, seconds] : bySize) {
            const double x = std::log(tables), y = std::log(seconds);
            sx += x, sy += y, sxx += x * x, sxy += x * y;
        }
        const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
        std::printf("%-16s log-log slope %.3f over %zu sizes (%d to %d tables)\n", name.c_str(), slope, bySize.size(),
                    bySize.begin()->first, bySize.rbegin()->first);
    }
    return failed ? 1 : 0;
}
