// Load and Save of stores with 1,000 to 100,000 entries against the raw Twofish-CBC time
// of the same number of bytes, and the peak memory of a load. V0.4 load and save at 100,000
// entries with the least derivation cost, so that they show the format's own work, and the
// derivation at the written cost on its own. Ends with the ratios at 100,000 entries.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include <unistd.h>

#include "BenchSupport.h"
#include "RatioReporter.h"
#include "crypto/CipherEngine.h"
#include "crypto/KeyDerivation.h"
#include "file/LoadSave.h"
#include "file/PasswordFile.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"

namespace kavelmark
{
namespace
{

const SecureString kPassword = ToSecure("Bench-Kennwort 2026");

struct Environment
{
    Environment()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kavelmark-bench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        Settings::SetBackend(&backend);
    }
    ~Environment()
    {
        Settings::SetBackend(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string FileFor(std::int64_t entries)
    {
        return folder + "/bench-" + std::to_string(entries) + ".Kavelmark";
    }
    void Use(const std::string& path)
    {
        backend.Write(settings::kConfig, settings::kMainEntryFile, path);
    }

    std::string folder;
    InMemorySettingsBackend backend;
};

std::string ExecutablePath()
{
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

Environment& Env()
{
    static Environment environment;
    return environment;
}

// The least cost Argon2id takes: the V0.4 runs time the format, not the key.
constexpr Argon2idCost kLeastCost{8, 1, 1};

// Writes the file for this size once; later calls reuse it. Negative sizes are V0.4 files.
const std::string& PreparedFile(std::int64_t entries)
{
    static std::map<std::int64_t, std::string> files;
    auto found = files.find(entries);
    if (found == files.end())
    {
        std::string path = Env().FileFor(entries);
        Env().Use(path);
        const bool v04 = entries < 0;
        SetMainFileFormat(v04 ? FileFormat::V04 : FileFormat::V03);
        const Argon2idCost cost = SetV04WriteCost(kLeastCost);
        Save(bench::MakeWebSiteStore(v04 ? -entries : entries), kPassword);
        SetV04WriteCost(cost);
        SetMainFileFormat(FileFormat::V03);
        found = files.emplace(entries, path).first;
    }
    return found->second;
}

// Runs in a fresh process of this executable, so that no freed heap of earlier runs hides
// the load's own peak: prints the resident size before the load and the peak after it.
int MeasureLoadPeak(const char* path)
{
    Env().Use(path);
    std::size_t before = bench::StatusKilobytes("VmRSS:");
    PasswordStore store;
    const int result = static_cast<int>(Load(store, kPassword, ComputeLegacySeed(kPassword)));
    std::printf("%zu %zu %d\n", before, bench::StatusKilobytes("VmHWM:"), result);
    return 0;
}

void SetBytes(benchmark::State& state, std::uintmax_t bytes)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_Save(benchmark::State& state)
{
    PasswordStore store = bench::MakeWebSiteStore(state.range(0));
    std::string path = Env().FileFor(state.range(0)) + ".save";
    Env().Use(path);
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(Save(store, kPassword));
    }
    SetBytes(state, std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

// The start-up case: each load into a new store; releasing it afterwards is not part of the load.
void TimeLoads(benchmark::State& state)
{
    const std::uint64_t seed = ComputeLegacySeed(kPassword);
    for (auto _ : state)
    {
        state.PauseTiming();
        auto store = std::make_unique<PasswordStore>();
        state.ResumeTiming();
        benchmark::DoNotOptimize(Load(*store, kPassword, seed));
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
}

// The second argument is the number of decrypting threads; 0 lets the machine choose.
void BM_Load(benchmark::State& state)
{
    CipherEngine::SetDecryptThreads(static_cast<unsigned>(state.range(1)));
    const std::string& path = PreparedFile(state.range(0));
    Env().Use(path);
    TimeLoads(state);
    std::uintmax_t fileSize = std::filesystem::file_size(path);
    SetBytes(state, fileSize);

    std::string command = "'" + ExecutablePath() + "' --load-peak '" + path + "'";
    if (FILE* child = ::popen(command.c_str(), "r"))
    {
        std::size_t before = 0;
        std::size_t peak = 0;
        int result = -1;
        if (std::fscanf(child, "%zu %zu %d", &before, &peak, &result) == 3 && result == 0)
        {
            state.counters["load_peak_MB"] = static_cast<double>(peak) / 1e3;
            state.counters["load_growth_MB"] = static_cast<double>(peak - before) / 1e3;
            state.counters["limit_MB"] = 3.0 * static_cast<double>(fileSize) / 1e6 + 20.0;
        }
        ::pclose(child);
    }
    CipherEngine::SetDecryptThreads(0);
}

// As many bytes as the file's encrypted body, for the raw cipher runs.
SecureString BodyOf(std::int64_t entries)
{
    std::uintmax_t size = std::filesystem::file_size(PreparedFile(entries)) - 72;
    return SecureString(static_cast<std::size_t>(size), 'x');
}

void BM_RawEncrypt(benchmark::State& state)
{
    SecureString plain = BodyOf(state.range(0));
    CipherEngine engine;
    for (auto _ : state)
    {
        state.PauseTiming();
        engine.Data().assign(plain.data(), plain.size() - 1); // padded back to the body size
        state.ResumeTiming();
        engine.EncryptInPlace(kPassword);
    }
    SetBytes(state, plain.size());
}

// The single-core floor that a load is measured against.
void BM_RawDecrypt(benchmark::State& state)
{
    CipherEngine::SetDecryptThreads(1);
    CipherEngine engine(BodyOf(state.range(0)));
    for (auto _ : state)
    {
        engine.DecryptInPlace(kPassword);
    }
    SetBytes(state, engine.Data().size());
    CipherEngine::SetDecryptThreads(0);
}

void BM_SaveV04(benchmark::State& state)
{
    PasswordStore store = bench::MakeWebSiteStore(state.range(0));
    std::string path = Env().FileFor(state.range(0)) + ".v04.save";
    Env().Use(path);
    SetMainFileFormat(FileFormat::V04);
    const Argon2idCost cost = SetV04WriteCost(kLeastCost);
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(Save(store, kPassword));
    }
    SetV04WriteCost(cost);
    SetMainFileFormat(FileFormat::V03);
    SetBytes(state, std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

void BM_LoadV04(benchmark::State& state)
{
    const std::string& path = PreparedFile(-state.range(0));
    Env().Use(path);
    TimeLoads(state);
    SetBytes(state, std::filesystem::file_size(path));
    SetMainFileFormat(FileFormat::V03);
}

// What every V0.4 load and save spends on its key at the cost it is written with.
void BM_DeriveV04Default(benchmark::State& state)
{
    const std::array<unsigned char, PasswordFile::kV04SaltLength> salt{};
    std::array<unsigned char, 64> keys{};
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(DeriveArgon2id({kPassword, salt}, PasswordFile::kV04WriteCost, keys));
    }
}

BENCHMARK(BM_Save)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)
    ->ArgNames({"entries", "threads"})
    ->Args({1000, 0})
    ->Args({10000, 0})
    ->Args({100000, 1})
    ->Args({100000, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveV04)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadV04)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeriveV04Default)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RawEncrypt)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawDecrypt)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kavelmark

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--load-peak")
    {
        return kavelmark::MeasureLoadPeak(argv[2]);
    }
    benchmark::Initialize(&argc, argv);
    kavelmark::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nTime against the bare cipher on as many bytes (1.00: as fast as the cipher alone):\n");
    reporter.PrintRatio("Load on one thread / RawDecrypt at 100,000 entries", "BM_Load/entries:100000/threads:1",
                        "BM_RawDecrypt/100000", "target 1.10");
    reporter.PrintRatio("Load on two threads / RawDecrypt at 100,000 entries", "BM_Load/entries:100000/threads:2",
                        "BM_RawDecrypt/100000", "target 0.70");
    reporter.PrintRatio("Save / RawEncrypt at 100,000 entries", "BM_Save/100000", "BM_RawEncrypt/100000",
                        "target 1.15 in cpu time");
    std::printf("\nV0.4 against V0.3 at 100,000 entries, without the key derivation:\n");
    reporter.PrintRatio("V0.4 load / V0.3 load (threads as the machine has)", "BM_LoadV04/100000",
                        "BM_Load/entries:100000/threads:2", "target 1.25");
    reporter.PrintRatio("V0.4 save / V0.3 save", "BM_SaveV04/100000", "BM_Save/100000", "target 1.25");
    std::printf("The derivation at 65536 KiB, 3 passes, 4 lanes: see BM_DeriveV04Default (once per load and save).\n");
    benchmark::Shutdown();
    return 0;
}
