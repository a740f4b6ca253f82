#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "crypto/KeyDerivation.h"
#include "file/RetryingFile.h"
#include "store/PasswordStore.h"

namespace kavelmark
{

enum class FileVersion
{
    Unknown,
    V01,
    V02,
    V03,
    V04,
};

enum class ReadResult
{
    Done,
    WrongPassword,
    ShortRead, // done, but a read came back with fewer bytes than asked for
    Damaged,   // lengths the format cannot describe; nothing past them was read
    TooLarge,  // longer than any password file; nothing was read
    Declined,  // a V0.4 cost above the ceiling that was not approved: nothing derived (CostApproval.h)
};

// The layout of the password file in its four versions; V0.3 and V0.4 are written.
class PasswordFile
{
public:
    static constexpr std::string_view kMagicV01 = "Kavelmark V0.1  ";
    static constexpr std::string_view kMagicV02 = "Kavelmark V0.2  ";
    static constexpr std::string_view kMagicV03 = "Kavelmark V0.3  ";
    static constexpr std::string_view kMagicV04 = "Kavelmark V0.4  ";
    // cp1252: the two letters are 0xE4 and 0xF6.
    static constexpr std::string_view kVerificationTag = "4t8x\xE4p.\xF6*k7(]%-?";
    static constexpr const char* kVerificationPattern = "%H:%M:%S - %d.%m.%Y";
    static constexpr const char* kBodyPattern = "%S:%M:%H - %Y.%m.%d";
    static constexpr std::size_t kTimestampLength = 21;

    // Far above any real password file (100,000 entries take about 12 MB).
    static constexpr std::uint64_t kMaxFileSize = std::uint64_t{64} << 20;
    // The store spends about 100 bytes on a record beyond its text, so the count has a bound
    // of its own: whatever the shape of its records, a load stays within three times the
    // file's length plus about 100 MB.
    static constexpr std::uint64_t kMaxRecords = 1'000'000;

    // What the reader takes: a file of at most kMaxFileSize bytes holding at most
    // kMaxRecords records. The writer refuses every store that would make another file, so
    // that whatever was saved can be loaded again.
    static bool WithinLimits(std::uint64_t recordCount, std::uint64_t fileSize);
    // The length of the V0.3 file that WriteV03 makes of the store.
    static std::uint64_t V03FileSize(const PasswordStore& store);
    // The length of the body's plaintext, as both written versions hold it: the timestamp, the
    // count, and each record after its length.
    static std::uint64_t BodyPlainLength(const PasswordStore& store);

    // V0.4: a head of fixed length (magic, the derivation's parameters, salt, nonce and the
    // header check), then the body's Twofish-GCM ciphertext and its tag.
    static constexpr std::uint32_t kV04ParameterLength = 60;
    static constexpr std::uint32_t kV04Argon2id = 1;
    static constexpr std::size_t kV04SaltLength = 32;
    static constexpr std::size_t kV04CheckedLength = 84; // what the header check covers
    static constexpr std::size_t kV04HeaderLength = 116;
    static constexpr std::size_t kV04TagLength = 16;
    // RFC 9106's second recommended setting.
    static constexpr Argon2idCost kV04WriteCost{65536, 3, 4};
    // What a reader derives with at most; a header beyond it is damaged.
    static constexpr std::uint32_t kV04MaxMemoryKiB = 1048576;
    static constexpr std::uint32_t kV04MaxPasses = 64;
    static constexpr std::uint32_t kV04MaxLanes = 16;
    static bool V04CostReadable(const Argon2idCost& cost);
    // The length of the V0.4 file that WriteV04 makes of the store.
    static std::uint64_t V04FileSize(const PasswordStore& store);

    struct Identified
    {
        ReadResult result;
        FileVersion version;
    };
    // Reads the magic length and the magic. A magic length other than 16 is damage.
    static Identified IdentifyVersion(ByteSource& file);

    // The whole read of a file: refuses one above kMaxFileSize, tells the version and
    // appends the records of a V0.2 or V0.3 file to the store. allRead runs once every
    // byte that will be read is read and before a record is taken, so that the caller can
    // close the file there.
    static Identified Read(ByteSource& file, std::string_view password, std::uint64_t legacySeed, PasswordStore& store,
                           const std::function<void()>& allRead);

    // Continue after the magic.
    static ReadResult ReadV03(ByteSource& file, std::string_view password, PasswordStore& store);
    static ReadResult ReadV02(ByteSource& file, std::uint64_t legacySeed, PasswordStore& store);
    // Appends the records only once the tag proved the whole file; a wrong header check is a
    // wrong password, anything else that does not hold is damage.
    static ReadResult ReadV04(ByteSource& file, std::string_view password, PasswordStore& store);

    struct Written
    {
        bool listConsistent = true;
        int fileError = 0; // cause code of a failed write
    };
    // Writes the whole V0.3 file; both timestamps come from the one time given.
    static Written WriteV03(ByteSink& file, std::string_view password, const PasswordStore& store,
                            const std::tm& saveTime);
    // Writes the whole V0.4 file with a fresh salt and nonce from the system and a key derived
    // at the given cost. When no random bytes or no key can be had, nothing is written and the
    // cause is kFileNoRandomBytes or kFileNoKeyMemory (kFileGeneric for a cost no reader takes).
    static Written WriteV04(ByteSink& file, std::string_view password, const PasswordStore& store,
                            const std::tm& saveTime, const Argon2idCost& cost);

    static std::string FormatTimestamp(const std::tm& time, const char* pattern);
};

} // namespace kavelmark
