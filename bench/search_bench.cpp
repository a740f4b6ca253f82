// One search step over stores of 1,000, 10,000 and 100,000 entries: the store walk alone
// (a text found nowhere, so every entry is looked at) and the window's step, which also
// selects the row and shows its details.
#include <QApplication>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string_view>

#include "BenchSupport.h"
#include "app/EntrySearch.h"
#include "settings/Settings.h"
#include "ui/EntryFinder.h"
#include "ui/MainWindow.h"

namespace
{

using kavelmark::MainWindow;

// Every description also holds an umlaut.
constexpr std::string_view kDescription = "auf $3 mit $2 bei M\xFCller";

void BM_SearchWithoutMatch(benchmark::State& state)
{
    kavelmark::PasswordStore store;
    kavelmark::bench::AddMixedEntries(store, state.range(0), kDescription);
    kavelmark::EntrySearch search(store);
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(search.FindNext("nirgendwo", {}));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SearchWithoutMatch)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_WindowFindStep(benchmark::State& state)
{
    kavelmark::InMemorySettingsBackend settings;
    kavelmark::ScopedSettingsBackend scoped(settings);
    MainWindow window;
    kavelmark::bench::AddMixedEntries(window.Store(), state.range(0), kDescription);
    window.Create();
    window.show();
    auto* finder = window.findChild<kavelmark::EntryFinder*>();
    // "müller" is in every description, "HOST7" in a tenth of the entries: each step moves on.
    const QString text = QStringLiteral("HOST7");
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(finder->FindNext(text));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_WindowFindStep)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
