// Filling the entry list from stores of 1,000, 10,000 and 100,000 entries, and how the time
// grows from 10,000 to 100,000.
#include <QApplication>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>

#include "BenchSupport.h"
#include "RatioReporter.h"
#include "settings/Settings.h"
#include "ui/MainWindow.h"

namespace
{

using kavelmark::MainWindow;

void BM_FillEntryList(benchmark::State& state)
{
    kavelmark::InMemorySettingsBackend settings;
    kavelmark::ScopedSettingsBackend scoped(settings);
    MainWindow window;
    kavelmark::bench::AddMixedEntries(window.Store(), state.range(0), "auf $3 mit $2");
    window.Create();
    window.show();
    for (auto _ : state)
    {
        window.FillEntryList();
    }
    state.SetComplexityN(state.range(0));
    state.counters["rows"] = window.EntryList()->topLevelItemCount();
}
BENCHMARK(BM_FillEntryList)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    kavelmark::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    reporter.PrintRatio("Fill of 100,000 rows / fill of 10,000 rows", "BM_FillEntryList/100000",
                        "BM_FillEntryList/10000", "10 when linear, 12.5 for n log n, 100 when quadratic");
    benchmark::Shutdown();
    return 0;
}
