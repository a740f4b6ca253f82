// One search step over stores of 1,000, 10,000 and 100,000 entries: the store walk alone
// (a text found nowhere, so every entry is looked at) and the window's step, which also
// selects the row and shows its details.
#include <QApplication>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>

#include "app/EntrySearch.h"
#include "settings/Settings.h"
#include "ui/EntryFinder.h"
#include "ui/MainWindow.h"

namespace
{

using kavelmark::MainWindow;

const char* const kCategories[] = {"FTP", "DF\xDC", "TELNET", "Web-Site", "PIN/TAN", "Datenbank", " Hmm?", "Eigene"};

void FillStore(kavelmark::PasswordStore& store, int entries)
{
    store.AddCategory("Eigene", "Key", "Secret (*)", "Note");
    for (int i = 0; i < entries; ++i)
    {
        std::string n = std::to_string(i);
        store.AddEntry(kCategories[i % 8], "Login $1 " + n, "auf $3 mit $2 bei M\xFCller", "user" + n, "pw" + n,
                       "host" + n);
    }
}

void BM_SearchWithoutMatch(benchmark::State& state)
{
    kavelmark::PasswordStore store;
    FillStore(store, static_cast<int>(state.range(0)));
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
    FillStore(window.Store(), static_cast<int>(state.range(0)));
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
