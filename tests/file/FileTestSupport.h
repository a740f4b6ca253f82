#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/CipherEngine.h"
#include "file/PasswordFile.h"
#include "file/RetryingFile.h"
#include "store/BuiltInCategories.h"
#include "store/PasswordStore.h"

namespace kavelmark::testing
{

// A folder of its own for each test, removed afterwards.
class TempDir
{
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kavelmark-file-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const
    {
        return path_;
    }
    std::string operator/(std::string_view name) const
    {
        return (path_ / name).string();
    }

private:
    std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string U32(std::uint32_t value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
    {
        bytes.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
    }
    return bytes;
}

// 14:05:09 on 5 December 2026.
inline std::tm FixedSaveTime()
{
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 5;
    time.tm_hour = 14;
    time.tm_min = 5;
    time.tm_sec = 9;
    time.tm_isdst = -1;
    return time;
}

// File bytes in memory, for the format without a disk.
class MemoryFile final : public ByteSource, public ByteSink
{
public:
    MemoryFile() = default;
    explicit MemoryFile(std::string bytes) : bytes_(std::move(bytes))
    {
    }
    std::size_t Read(char* buffer, std::size_t size) override
    {
        std::size_t count = std::min(size, bytes_.size() - position_);
        bytes_.copy(buffer, count, position_);
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
    const std::string& Bytes() const
    {
        return bytes_;
    }

private:
    std::string bytes_;
    std::size_t position_ = 0;
};

inline std::vector<std::string> Records(const PasswordStore& store)
{
    std::vector<std::string> texts;
    for (auto p = store.GetHeadPosition(); p; p = store.GetNextPosition(p))
    {
        texts.emplace_back(store.GetAt(p).data(), store.GetAt(p).size());
    }
    return texts;
}

inline std::vector<std::string> BuiltIns()
{
    return Records(PasswordStore());
}

// The length of the file that a store of the built-in categories alone makes: the 72 bytes up
// to the body, then the body of timestamp, count and records, padded with 1 to 16 bytes.
inline std::size_t BuiltInStoreFileSize()
{
    std::size_t body = 21 + 4;
    for (const BuiltInCategory& c : BuiltInCategoryTable)
    {
        const std::string record = "_C__|_" + std::string(c.name) + "_|_" + std::string(c.label1) + "_|_" +
                                   std::string(c.label2) + "_|_" + std::string(c.label3) + "_|_";
        body += 4 + record.size();
    }
    return 72 + (body / 16 + 1) * 16;
}

inline std::vector<std::string> FolderContents(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
    {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

inline std::string Scrambled(LegacyScramble& scramble, std::string_view text)
{
    SecureString bytes = scramble.Apply(text);
    return std::string(bytes.data(), bytes.size());
}

// A V0.2 file as the previous version wrote it.
inline std::string V02File(std::string_view password, const std::vector<std::string>& records)
{
    LegacyScramble scramble(ComputeLegacySeed(password));
    std::string bytes = U32(16) + "Kavelmark V0.2  " + U32(16) + Scrambled(scramble, PasswordFile::kVerificationTag);
    bytes += U32(static_cast<std::uint32_t>(records.size()));
    for (const std::string& record : records)
    {
        bytes += U32(static_cast<std::uint32_t>(record.size())) + Scrambled(scramble, record);
    }
    return bytes;
}

// Writes the store as another program (a sync engine bringing another computer's save) would:
// a new V0.3 file renamed over path, of which this process remembers nothing. False on failure.
inline bool WriteAsAnotherProgram(const std::string& path, std::string_view password, const PasswordStore& store)
{
    MemoryFile bytes;
    std::tm time{};
    time.tm_year = 126;
    time.tm_mday = 11;
    if (PasswordFile::WriteV03(bytes, password, store, time).fileError != 0)
    {
        return false;
    }
    const std::string incoming = path + ".incoming";
    WriteBytes(incoming, bytes.Bytes());
    return std::rename(incoming.c_str(), path.c_str()) == 0;
}

// A V0.3 file around a hand-made body plaintext.
inline std::string V03File(std::string_view password, std::string_view bodyPlain)
{
    CipherEngine header(ToSecure(std::string("14:05:09 - 05.12.2026") + std::string(PasswordFile::kVerificationTag)));
    SecureString headerCipher = header.Encrypt(password);
    CipherEngine body(ToSecure(bodyPlain));
    SecureString bodyCipher = body.Encrypt(password);
    return U32(16) + "Kavelmark V0.3  " + U32(48) + std::string(headerCipher.data(), headerCipher.size()) +
           std::string(bodyCipher.data(), bodyCipher.size());
}

} // namespace kavelmark::testing
