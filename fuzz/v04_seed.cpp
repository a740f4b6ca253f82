// Writes the V0.4 seed of the fuzz corpus: the program's own writer at the small derivation
// cost that the fuzz targets accept, so that an execution takes milliseconds, not 64 MiB.
//   v04_seed FILE   records as in the "entries" seed, password "Kennwort"

#include <cstdio>
#include <ctime>

#include "file/PasswordFile.h"
#include "fuzz_cost.h"

namespace
{

class FileSink final : public kavelmark::ByteSink
{
public:
    explicit FileSink(std::FILE* file) : file_(file)
    {
    }
    int Write(const char* data, std::size_t size) override
    {
        return std::fwrite(data, 1, size, file_) == size ? 0 : 1;
    }

private:
    std::FILE* file_;
};

} // namespace

int main(int argc, char** argv)
{
    using namespace kavelmark;
    if (argc != 2)
    {
        return 2;
    }
    PasswordStore store;
    store.RemoveAll();
    store.AddTail("_C__|_FTP_|_User_|_Password (*)_|_Host_|_");
    store.AddTail("_E__|_FTP_|_server_|_$1 $3_|_anna_|_s3cr\x80t_|_ftp.example.org_|_");
    store.AddTail("");
    std::tm time{};
    time.tm_year = 126;
    time.tm_mday = 1;
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out)
    {
        return 1;
    }
    FileSink sink(out);
    const bool written = PasswordFile::WriteV04(sink, "Kennwort", store, time, kFuzzV04Cost).fileError == 0;
    return std::fclose(out) == 0 && written ? 0 : 1;
}
