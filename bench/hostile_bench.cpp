// Peak memory of loads of hostile files, each in a fresh process: a V0.2 file that claims
// 2^31 records over a sparse 1 GB body, a V0.3 file of 16.7 million empty records (64 MB),
// a V0.3 file with a 1 GB body; then 8.4 million empty records (32 MB, within the size
// limit), about the most empty records a file may hold, a real-shaped file of 100,000
// entries, and V0.4 heads that ask for 4 GiB of memory or 2^32 - 1 passes for their key (refused
// before any derivation: the time and the growth stay near zero).
// The aim is at most three times the file's length plus 20 MB, or a refusal.
//
// The child's address space is capped (kChildAddressSpace) so that a load that would take
// all memory fails there instead of on the machine.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "BenchSupport.h"
#include "crypto/CipherEngine.h"
#include "file/LoadSave.h"
#include "file/PasswordFile.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"

namespace kavelmark
{
namespace
{

const SecureString kPassword = ToSecure("Bench-Kennwort 2026");
constexpr rlim_t kChildAddressSpace = rlim_t{4} << 30;
constexpr std::uint64_t kGigabyte = std::uint64_t{1} << 30;

std::string U32(std::uint32_t value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
    {
        bytes.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
    }
    return bytes;
}

std::string Folder()
{
    static std::string folder = []
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kavelmark-hostile-XXXXXX").string();
        return std::string(::mkdtemp(pattern.data()));
    }();
    return folder;
}

void WriteFile(const std::string& path, const std::string& bytes, std::uint64_t length)
{
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    if (length > bytes.size())
    {
        // The rest is a hole: zeros that take no room on disk.
        ::truncate(path.c_str(), static_cast<off_t>(length));
    }
}

std::string V03Head()
{
    CipherEngine header(ToSecure(std::string("14:05:09 - 05.12.2026") + std::string(PasswordFile::kVerificationTag)));
    SecureString cipher = header.Encrypt(kPassword);
    return U32(16) + std::string(PasswordFile::kMagicV03) + U32(static_cast<std::uint32_t>(cipher.size())) +
           std::string(cipher.data(), cipher.size());
}

std::string MakeV02ClaimingTwoToThe31()
{
    std::string path = Folder() + "/v02-claims-2^31.Kavelmark";
    LegacyScramble scramble(ComputeLegacySeed(kPassword));
    SecureString tag = scramble.Apply(PasswordFile::kVerificationTag);
    std::string head = U32(16) + std::string(PasswordFile::kMagicV02) + U32(static_cast<std::uint32_t>(tag.size())) +
                       std::string(tag.data(), tag.size()) + U32(0x80000000u);
    WriteFile(path, head, kGigabyte);
    return path;
}

std::string MakeV03EmptyRecords(const char* name, std::uint32_t count)
{
    std::string path = Folder() + "/" + name + ".Kavelmark";
    SecureString plain = ToSecure("09:05:14 - 2026.12.05");
    plain += ToSecure(U32(count));
    plain.resize(plain.size() + std::size_t{4} * count, '\0');
    CipherEngine body(std::move(plain));
    body.EncryptInPlace(kPassword);
    WriteFile(path, V03Head() + std::string(body.Data().data(), body.Data().size()), 0);
    return path;
}

std::string MakeV03SixteenMillionEmptyRecords()
{
    return MakeV03EmptyRecords("v03-16.7M-empty-records", 1u << 24);
}

// Within the size limit: refused for what its records would cost.
std::string MakeV03EightMillionEmptyRecords()
{
    return MakeV03EmptyRecords("v03-8.4M-empty-records", 1u << 23);
}

// About the most empty records a file may hold: the worst case that loads.
std::string MakeV03MostEmptyRecordsAllowed()
{
    return MakeV03EmptyRecords("v03-136000-empty-records", 136000);
}

std::string MakeV03GigabyteBody()
{
    std::string path = Folder() + "/v03-1GB-body.Kavelmark";
    WriteFile(path, V03Head(), V03Head().size() + kGigabyte);
    return path;
}

// A V0.4 head with the given cost and zeros for salt, nonce, check, body and tag.
std::string MakeV04Asking(const char* name, std::uint32_t memoryKiB, std::uint32_t passes)
{
    std::string path = Folder() + "/" + name + ".Kavelmark";
    std::string head =
        U32(16) + std::string(PasswordFile::kMagicV04) + U32(60) + U32(1) + U32(memoryKiB) + U32(passes) + U32(4);
    head.resize(PasswordFile::kV04HeaderLength + 64 + PasswordFile::kV04TagLength, '\0');
    WriteFile(path, head, 0);
    return path;
}

std::string MakeV04AskingFourGigabytes()
{
    return MakeV04Asking("v04-4GiB-memory", 4u << 20, 3);
}

std::string MakeV04AskingTwoToThe32Passes()
{
    return MakeV04Asking("v04-2^32-passes", 65536, 0xFFFFFFFFu);
}

std::string MakeRealShaped()
{
    std::string path = Folder() + "/real-100000.Kavelmark";
    InMemorySettingsBackend backend;
    ScopedSettingsBackend install(backend);
    backend.Write(settings::kConfig, settings::kMainEntryFile, path);
    Save(bench::MakeWebSiteStore(100000), kPassword);
    return path;
}

// The child: prints its resident size before the load, then the load's result.
int LoadInChild(const char* path)
{
    rlimit cap{kChildAddressSpace, kChildAddressSpace};
    ::setrlimit(RLIMIT_AS, &cap);
    InMemorySettingsBackend backend;
    ScopedSettingsBackend install(backend);
    backend.Write(settings::kConfig, settings::kMainEntryFile, path);
    PasswordStore store;
    std::printf("%zu\n", bench::StatusKilobytes("VmRSS:"));
    std::fflush(stdout);
    const int result = static_cast<int>(Load(store, kPassword, ComputeLegacySeed(kPassword)));
    std::printf("%d\n", result);
    return 0;
}

void BM_HostileLoad(benchmark::State& state, std::string (*make)())
{
    for (auto _ : state)
    {
        // Made anew for every run: a V0.2 file may be moved aside by its load.
        std::string path = make();
        std::uint64_t length = std::filesystem::file_size(path);
        std::string output = Folder() + "/child-output";
        pid_t child = ::fork();
        if (child == 0)
        {
            std::FILE* out = std::freopen(output.c_str(), "w", stdout);
            (void)out;
            std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
            ::execl(self.c_str(), self.c_str(), "--hostile-load", path.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        rusage usage{};
        ::wait4(child, &status, 0, &usage);
        std::size_t before = 0;
        int result = 99;
        if (std::FILE* in = std::fopen(output.c_str(), "r"))
        {
            if (std::fscanf(in, "%zu %d", &before, &result) < 2)
            {
                result = 99;
            }
            std::fclose(in);
        }
        bool aborted = !WIFEXITED(status) || WEXITSTATUS(status) != 0;
        state.counters["file_MB"] = static_cast<double>(length) / 1e6;
        state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1e3;
        state.counters["growth_MB"] = static_cast<double>(usage.ru_maxrss - static_cast<long>(before)) / 1e3;
        state.counters["limit_MB"] = 3.0 * static_cast<double>(length) / 1e6 + 20.0;
        state.counters["result"] = aborted ? -999 : result;
        state.counters["aborted"] = aborted ? 1 : 0;
        for (const auto& entry : std::filesystem::directory_iterator(Folder()))
        {
            if (entry.path().string().rfind(path, 0) == 0)
            {
                std::filesystem::remove(entry.path());
            }
        }
    }
}

BENCHMARK_CAPTURE(BM_HostileLoad, v02_claims_2pow31_over_1GB_sparse, MakeV02ClaimingTwoToThe31)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostileLoad, v03_16_7M_empty_records_64MB, MakeV03SixteenMillionEmptyRecords)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostileLoad, v03_8_4M_empty_records_32MB, MakeV03EightMillionEmptyRecords)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostileLoad, v03_136000_empty_records, MakeV03MostEmptyRecordsAllowed)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostileLoad, v03_1GB_body, MakeV03GigabyteBody)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostileLoad, v04_asking_4GiB_of_memory, MakeV04AskingFourGigabytes)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostileLoad, v04_asking_2pow32_passes, MakeV04AskingTwoToThe32Passes)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostileLoad, real_100000_entries, MakeRealShaped)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kavelmark

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--hostile-load")
    {
        return kavelmark::LoadInChild(argv[2]);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(kavelmark::Folder(), ignored);
    return 0;
}
