// Filling the entry list from stores of 1,000, 10,000 and 100,000 entries.
#include <QApplication>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>

#include "settings/Settings.h"
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
        store.AddEntry(kCategories[i % 8], "Login $1 " + n, "auf $3 mit $2", "user" + n, "pw" + n, "host" + n);
    }
}

void BM_FillEntryList(benchmark::State& state)
{
    kavelmark::InMemorySettingsBackend settings;
    kavelmark::ScopedSettingsBackend scoped(settings);
    MainWindow window;
    FillStore(window.Store(), static_cast<int>(state.range(0)));
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
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
