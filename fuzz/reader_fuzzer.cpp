// libFuzzer target on the password file reader, built by scripts/fuzz with clang.
//
// reader:          the input is a password file, read with the password "Kennwort".
// reader_password: the input's first line is the password and the rest the file, so that
//                  the fuzzer can reach the records behind a correct password.
//
// Besides the sanitizers it checks what the reader promises: the file is done with before
// anything is decrypted, a refused file adds no record, and a V0.3 or V0.4 file that loads is
// written and read back to the same records. V0.4 inputs that ask for a costlier key than
// kFuzzV04MaxCost are passed over.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/CipherEngine.h"
#include "file/PasswordFile.h"
#include "fuzz_cost.h"
#include "platform/Messages.h"
#include "store/PasswordStore.h"

namespace
{

using namespace kavelmark;

class Silent final : public MessageSink
{
public:
    MessageAnswer Show(const std::string&, const std::string&, MessageIcon, MessageButtons) override
    {
        return MessageAnswer::Cancel;
    }
};

class Bytes final : public ByteSource, public ByteSink
{
public:
    explicit Bytes(std::string_view bytes = {}) : bytes_(bytes)
    {
    }
    std::size_t Read(char* buffer, std::size_t size) override
    {
        std::size_t count = bytes_.copy(buffer, size, position_);
        position_ += count;
        return count;
    }
    std::uint64_t Remaining() const override
    {
        return bytes_.size() - position_;
    }
    int Write(const char* data, std::size_t size) override
    {
        bytes_.append(data, size);
        return 0;
    }

private:
    std::string bytes_;
    std::size_t position_ = 0;
};

std::vector<SecureString> Records(const PasswordStore& store)
{
    std::vector<SecureString> records;
    for (auto p = store.GetHeadPosition(); p; p = store.GetNextPosition(p))
    {
        records.push_back(store.GetAt(p));
    }
    return records;
}

void Check(bool condition)
{
    if (!condition)
    {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Silent silent;
    static ScopedMessageSink install(silent);

    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view password = "Kennwort";
#ifdef KAVELMARK_FUZZ_PASSWORD_FROM_INPUT
    std::size_t lineEnd = input.find('\n');
    if (lineEnd == std::string_view::npos)
    {
        return -1;
    }
    password = input.substr(0, lineEnd);
    input.remove_prefix(lineEnd + 1);
#endif

    // Memory, passes and lanes of a V0.4 head (offsets 28, 32, 36).
    if (input.size() >= 40 && input.substr(4, 16) == PasswordFile::kMagicV04)
    {
        auto u32 = [&](std::size_t offset)
        {
            const auto* bytes = reinterpret_cast<const unsigned char*>(input.data() + offset);
            return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
        };
        if (u32(28) > kFuzzV04MaxCost.memoryKiB || u32(32) > kFuzzV04MaxCost.passes || u32(36) > kFuzzV04MaxCost.lanes)
        {
            return -1;
        }
    }

    Bytes file(input);
    PasswordStore store;
    store.RemoveAll();
    bool allRead = false;
    PasswordFile::Identified identified =
        PasswordFile::Read(file, password, ComputeLegacySeed(password), store, [&] { allRead = true; });
    Check(allRead);
    if (identified.result != ReadResult::Done && identified.result != ReadResult::ShortRead)
    {
        Check(store.GetCount() == 0);
    }
    if ((identified.version == FileVersion::V03 || identified.version == FileVersion::V04) &&
        identified.result == ReadResult::Done)
    {
        std::tm time{};
        time.tm_year = 126;
        time.tm_mday = 1;
        Bytes written;
        const PasswordFile::Written write = identified.version == FileVersion::V04
                                                ? PasswordFile::WriteV04(written, password, store, time, kFuzzV04Cost)
                                                : PasswordFile::WriteV03(written, password, store, time);
        Check(write.fileError == 0);
        PasswordStore again;
        again.RemoveAll();
        auto reread = PasswordFile::Read(written, password, 0, again, [] {});
        Check(reread.version == identified.version && reread.result == ReadResult::Done);
        Check(Records(again) == Records(store));
    }
    return 0;
}
