// Load, edit and save of a small and a large invoice, against a LibreOffice
// docx-to-docx conversion of the same file as the yardstick.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/word/word.h"

namespace {

using namespace kado::word;

// An invoice with `tables` fee tables of 5 columns, each marked on cell (1, 5)
// and carrying one VAT marker per row: 10 comments per table.
std::string MakeInvoice(int tables) {
    auto doc = Document::New();
    doc->Content().InsertBefore("Rechnung Nr. 1\rSehr geehrte Damen und Herren,\r");
    for (int t = 0; t < tables; ++t) {
        auto end = doc->Content();
        end.Collapse(CollapseDirection::End);
        auto table = doc->GetTables().Add(end, 9, 5);
        for (int r = 1; r <= 9; ++r) {
            for (int c = 1; c <= 5; ++c) table.GetCell(r, c).GetRange().InsertAfter(c == 5 ? "1.234,50 €" : "Pos.");
            auto cell = table.GetCell(r, 5).GetRange();
            doc->GetComments().Add(cell, "19");
        }
        doc->GetComments().Add(table.GetCell(1, 5).GetRange(), "Honora_1");
        end = doc->Content();
        end.Collapse(CollapseDirection::End);
        end.InsertParagraphAfter();
    }
    return doc->ToBytes();
}

void EditAndSave(const std::string& bytes) {
    auto doc = Document::FromBytes(bytes);
    auto end = doc->Content();
    end.Collapse(CollapseDirection::End);
    auto table = doc->GetTables().Add(end, 20, 5);
    for (int r = 1; r <= 20; ++r) {
        table.GetCell(r, 5).GetRange().InsertAfter("99,00 €");
        doc->GetComments().Add(table.GetCell(r, 5).GetRange(), "no");
    }
    benchmark::DoNotOptimize(doc->ToBytes());
}

double LibreOfficeSeconds(const std::string& bytes, const std::string& tag) {
    auto dir = std::filesystem::temp_directory_path() / ("kado-bench-" + tag);
    std::filesystem::create_directories(dir / "out");
    auto in = dir / "in.docx";
    std::ofstream(in, std::ios::binary) << bytes;
    std::string cmd = "soffice --headless -env:UserInstallation=file://" + (dir / "profile").string() +
                      " --convert-to docx --outdir " + (dir / "out").string() + " " + in.string() + " >/dev/null 2>&1";
    if (std::getenv("KADO_BENCH_NO_LIBREOFFICE") || std::system("command -v soffice >/dev/null 2>&1") != 0) return -1;
    int warm = std::system(cmd.c_str());  // the first run creates the profile
    (void)warm;
    auto t0 = std::chrono::steady_clock::now();
    int rc = std::system(cmd.c_str());
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::filesystem::remove_all(dir);
    return rc == 0 ? s : -1;
}

void BM_LoadEditSave(benchmark::State& state) {
    const int tables = static_cast<int>(state.range(0));
    const std::string bytes = MakeInvoice(tables);
    for (auto _ : state) EditAndSave(bytes);
    state.counters["comments"] = tables * 10.0;
    state.counters["kB"] = static_cast<double>(bytes.size()) / 1024.0;
    double lo = LibreOfficeSeconds(bytes, std::to_string(tables));
    state.counters["lo_convert_s"] = lo;
}

}  // namespace

BENCHMARK(BM_LoadEditSave)->Arg(2)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
