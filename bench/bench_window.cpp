// What the clerk waits for in the host's window on a long invoice: opening it
// (preview drawn), and OK in a fee dialog until the preview is drawn anew and
// scrolled to the new table. Offscreen, through the real widgets.
#include <benchmark/benchmark.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>

#include "bench/invoice_gen.h"
#include "host/heap.h"
#include "host/gui/invoice_preview.h"
#include "host/gui/main_window.h"
#include "platform/com/atomic_file.h"

namespace {

namespace fs = std::filesystem;
using namespace kado;

// This program's own folder and the generated invoices in it.
bench::Invoices& Files() {
    static bench::Invoices files("kado-bench-window");
    return files;
}
const fs::path& Dir() { return Files().Dir(); }
const fs::path& Invoice(int tables) { return Files().With(tables); }

bool failed = false;
void Fail(benchmark::State& state, const char* why) {
    failed = true;
    state.SkipWithError(why);
}

// Until the window has done what is queued, the preview's repaint included.
void Settle(host::gui::MainWindow& w) {
    QApplication::processEvents();
    w.Preview()->viewport()->repaint();
}

std::unique_ptr<host::gui::MainWindow> Opened(int tables) {
    auto w = std::make_unique<host::gui::MainWindow>(1);
    w->show();
    if (!w->OpenFiles(Dir() / "kado.sqlite", Invoice(tables)) || !w->SetInvoice(1)) return nullptr;
    Settle(*w);
    return w;
}

// From the open call until the preview of the whole invoice is painted.
void BM_WindowOpen(benchmark::State& state) {
    const int tables = static_cast<int>(state.range(0));
    (void)Invoice(tables);
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<host::gui::MainWindow>(1);
        w->show();
        QApplication::processEvents();
        state.ResumeTiming();
        if (!w->OpenFiles(Dir() / "kado.sqlite", Invoice(tables))) Fail(state, "invoice not opened");
        Settle(*w);
        state.PauseTiming();
        w.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

// The first fee table reopened (its choice answered with the first entry),
// the demo inputs typed, the preview laid out as it is by the time the clerk
// has typed them, then timed: OK until the preview shows the new table at its top.
// With settled 0, OK comes before Qt has laid the opened preview out: a clerk
// who types the inputs at once.
void BM_WindowConfirm(benchmark::State& state) {
    const int tables = static_cast<int>(state.range(0));
    const bool settled = state.range(1) != 0;
    const auto inputs = bench::DemoInputs();
    for (auto _ : state) {
        state.PauseTiming();
        auto w = Opened(tables);
        if (!w) {
            Fail(state, "invoice not opened");
            break;
        }
        QTimer::singleShot(0, [] {
            for (QWidget* t : QApplication::topLevelWidgets()) {
                if (t->objectName() != QStringLiteral("G_frmTabelle") || !t->isVisible()) continue;
                QTest::mouseClick(t->findChild<QRadioButton*>("optTabelle(0)"), Qt::LeftButton);
                QTest::mouseClick(t->findChild<QPushButton*>("cmdEnde"), Qt::LeftButton);
            }
        });
        w->ShowCategory(0);
        QApplication::processEvents();
        QMdiSubWindow* dialog = w->DocumentArea()->activeSubWindow();
        auto* ok = dialog ? dialog->findChild<QPushButton*>("CommandEnde") : nullptr;
        if (!ok) {
            Fail(state, "fee dialog not open");
            break;
        }
        for (const auto& a : inputs) {
            auto* field = dialog->findChild<QWidget*>(QString::fromStdString(a.control));
            if (!field) continue;
            field->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(field, QString::fromStdString(a.text));
            QTest::keyClick(field, Qt::Key_Tab);
        }
        const size_t before = w->Preview()->TableIds().size();
        // The clerk spends seconds in the dialog, while Qt lays the rest of the
        // opened preview out in the background: that layout is done before OK.
        if (settled) (void)w->Preview()->document()->documentLayout()->documentSize();
        state.ResumeTiming();
        QTest::mouseClick(ok, Qt::LeftButton);
        // The window looks at the document once the dialog has gone (a queued call).
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!w->statusBar()->currentMessage().startsWith(QStringLiteral("Gebühren in die Rechnung")) &&
               std::chrono::steady_clock::now() < until)
            QApplication::processEvents();
        Settle(*w);
        state.PauseTiming();
        if (w->Preview()->TableIds().size() < before || !w->statusBar()->currentMessage().startsWith("Gebühren"))
            Fail(state, "the preview did not follow the confirmation");
        w.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (int n : {10, 200, 1000}) b->Arg(n);
    b->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_WindowOpen)->Apply(Sizes);
BENCHMARK(BM_WindowConfirm)
    ->ArgsProduct({{10, 200, 1000}, {1, 0}})
    ->ArgNames({"tables", "settled"})
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    kado::host::PrepareHeap();  // as kado-host does
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return failed ? 1 : 0;
}
