#include "file/V04Body.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include <crypto++/secblock.h>

#include "crypto/HeaderMac.h"
#include "crypto/KeyDerivation.h"
#include "crypto/SystemRandom.h"
#include "crypto/TwofishGcm.h"
#include "file/BodyReader.h"
#include "file/BodyWriter.h"
#include "file/CostApproval.h"
#include "file/FileError.h"
#include "file/LittleEndian.h"

namespace kavelmark
{
namespace
{

constexpr std::size_t kMagicEnd = 4 + PasswordFile::kMagicV04.size();
constexpr std::size_t kNonceOffset = 40 + PasswordFile::kV04SaltLength;
constexpr std::size_t kKeysLength = GcmEncryptor::kKeySize + 32;
using Head = std::array<unsigned char, PasswordFile::kV04HeaderLength>;

std::string_view AsText(const unsigned char* bytes, std::size_t length)
{
    return std::string_view(reinterpret_cast<const char*>(bytes), length);
}

// The first part of the derived bytes keys the body, the second the header check.
std::span<const unsigned char, GcmEncryptor::kKeySize> BodyKey(const CryptoPP::SecByteBlock& keys)
{
    return std::span<const unsigned char, GcmEncryptor::kKeySize>(keys.data(), GcmEncryptor::kKeySize);
}

Sha256Mac HeaderCheck(const CryptoPP::SecByteBlock& keys, const Head& head)
{
    return HmacSha256(std::span<const unsigned char>(keys.data() + GcmEncryptor::kKeySize, 32),
                      AsText(head.data(), PasswordFile::kV04CheckedLength));
}

std::span<const unsigned char, GcmEncryptor::kNonceSize> Nonce(const Head& head)
{
    return std::span<const unsigned char, GcmEncryptor::kNonceSize>(head.data() + kNonceOffset,
                                                                    GcmEncryptor::kNonceSize);
}

} // namespace

bool PasswordFile::V04CostReadable(const Argon2idCost& cost)
{
    return cost.lanes >= 1 && cost.lanes <= kV04MaxLanes && cost.passes >= 1 && cost.passes <= kV04MaxPasses &&
           cost.memoryKiB <= kV04MaxMemoryKiB && cost.memoryKiB >= 8 * cost.lanes;
}

std::uint64_t PasswordFile::V04FileSize(const PasswordStore& store)
{
    return kV04HeaderLength + BodyPlainLength(store) + kV04TagLength;
}

ReadResult ReadV04Body(ByteSource& file, std::string_view password, std::optional<BodyRecords>& records)
{
    // Everything that can be judged without the password is, before the costly derivation.
    if (file.Remaining() < PasswordFile::kV04HeaderLength + PasswordFile::kV04TagLength - kMagicEnd)
    {
        return ReadResult::Damaged;
    }
    Head head{};
    std::string magic;
    AppendU32(magic, static_cast<std::uint32_t>(PasswordFile::kMagicV04.size()));
    magic.append(PasswordFile::kMagicV04);
    std::memcpy(head.data(), magic.data(), kMagicEnd);
    const std::size_t rest = head.size() - kMagicEnd;
    if (file.Read(reinterpret_cast<char*>(head.data() + kMagicEnd), rest) != rest)
    {
        return ReadResult::Damaged;
    }
    const Argon2idCost cost{U32At(head.data() + 28), U32At(head.data() + 32), U32At(head.data() + 36)};
    if (U32At(head.data() + 20) != PasswordFile::kV04ParameterLength ||
        U32At(head.data() + 24) != PasswordFile::kV04Argon2id || !PasswordFile::V04CostReadable(cost))
    {
        return ReadResult::Damaged;
    }
    if (!MayDerive(cost))
    {
        return ReadResult::Declined;
    }

    CryptoPP::SecByteBlock keys(kKeysLength);
    const std::span<const unsigned char> salt(head.data() + 40, PasswordFile::kV04SaltLength);
    if (!DeriveArgon2id({password, salt}, cost, std::span<unsigned char>(keys.data(), keys.size())))
    {
        return ReadResult::Damaged;
    }
    const Sha256Mac expected = HeaderCheck(keys, head);
    if (!SameMac(expected, std::span<const unsigned char, 32>(head.data() + PasswordFile::kV04CheckedLength, 32)))
    {
        return ReadResult::WrongPassword;
    }

    // The plaintext goes to a parser of its own that hands nothing on before the tag is proved.
    GcmDecryptor cipher(BodyKey(keys), Nonce(head), AsText(head.data(), head.size()));
    const std::uint64_t cipherLength = file.Remaining() - PasswordFile::kV04TagLength;
    records.emplace(cipherLength, 0, 0);
    SecureString slice;
    slice.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kBodySliceSize, cipherLength)));
    for (std::uint64_t left = cipherLength; left > 0;)
    {
        const std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(slice.size(), left));
        if (file.Read(slice.data(), size) != size)
        {
            return ReadResult::Damaged;
        }
        auto* bytes = reinterpret_cast<unsigned char*>(slice.data());
        cipher.Decrypt(bytes, bytes, size);
        if (!records->Feed(std::string_view(slice.data(), size)))
        {
            return ReadResult::Damaged;
        }
        left -= size;
    }
    std::array<unsigned char, PasswordFile::kV04TagLength> tag{};
    if (file.Read(reinterpret_cast<char*>(tag.data()), tag.size()) != tag.size() || !cipher.Verify(tag))
    {
        return ReadResult::Damaged;
    }
    return ReadResult::Done;
}

ReadResult PasswordFile::ReadV04(ByteSource& file, std::string_view password, PasswordStore& store)
{
    std::optional<BodyRecords> records;
    const ReadResult result = ReadV04Body(file, password, records);
    if (result != ReadResult::Done)
    {
        return result;
    }
    return records->TakeInto(store) ? ReadResult::Done : ReadResult::Damaged;
}

PasswordFile::Written PasswordFile::WriteV04(ByteSink& file, std::string_view password, const PasswordStore& store,
                                             const std::tm& saveTime, const Argon2idCost& cost)
{
    Written result;
    Head head{};
    std::string start;
    AppendU32(start, static_cast<std::uint32_t>(kMagicV04.size()));
    start.append(kMagicV04);
    AppendU32(start, kV04ParameterLength);
    AppendU32(start, kV04Argon2id);
    AppendU32(start, cost.memoryKiB);
    AppendU32(start, cost.passes);
    AppendU32(start, cost.lanes);
    std::memcpy(head.data(), start.data(), start.size());
    // A fresh salt and nonce on every save: no key and nonce pair is ever used twice.
    const std::span<unsigned char> fresh(head.data() + start.size(), kV04SaltLength + GcmEncryptor::kNonceSize);
    CryptoPP::SecByteBlock keys(kKeysLength);
    if (!V04CostReadable(cost))
    {
        result.fileError = kFileGeneric;
        return result;
    }
    if (!FillSystemRandom(fresh))
    {
        result.fileError = kFileNoRandomBytes;
        return result;
    }
    // With a cost this program can read, only memory can fail the derivation.
    if (!DeriveArgon2id({password, fresh.first(kV04SaltLength)}, cost,
                        std::span<unsigned char>(keys.data(), keys.size())))
    {
        result.fileError = kFileNoKeyMemory;
        return result;
    }
    const Sha256Mac check = HeaderCheck(keys, head);
    std::copy(check.begin(), check.end(), head.begin() + kV04CheckedLength);
    result.fileError = file.Write(reinterpret_cast<const char*>(head.data()), head.size());
    if (result.fileError != 0)
    {
        return result;
    }

    GcmEncryptor cipher(BodyKey(keys), Nonce(head), AsText(head.data(), head.size()));
    BodyWriter body(file, [&](unsigned char* bytes, std::size_t length) { cipher.Encrypt(bytes, length); });
    result.listConsistent = body.AppendStore(store, saveTime);
    result.fileError = body.Finish(false);
    if (result.fileError == 0)
    {
        const GcmEncryptor::Tag tag = cipher.Finish();
        result.fileError = file.Write(reinterpret_cast<const char*>(tag.data()), tag.size());
    }
    return result;
}

} // namespace kavelmark
