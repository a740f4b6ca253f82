#include "file/PasswordFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "crypto/CipherEngine.h"
#include "file/BodyReader.h"
#include "file/BodyRecords.h"
#include "file/BodyWriter.h"
#include "file/LittleEndian.h"
#include "file/V04Body.h"

namespace kavelmark
{
namespace
{

constexpr std::size_t kMagicLength = 16;

// Reads exactly size bytes into a fresh buffer; false when the file has fewer. The size is
// checked against what is left before anything is allocated.
bool ReadBlock(ByteSource& file, std::uint64_t size, SecureString& block)
{
    if (size > file.Remaining())
    {
        return false;
    }
    block.resize(static_cast<std::size_t>(size));
    return file.Read(block.data(), block.size()) == block.size();
}

std::string_view UpToZero(std::string_view text)
{
    return text.substr(0, text.find('\0'));
}

// Checks the password on the header block, then reads and decrypts the body, whose records
// gather in records. The key is cut without a word here: the caller says so for each of the
// keysMade once the file is let go.
ReadResult ReadV03Body(ByteSource& file, std::string_view password, std::optional<BodyRecords>& records,
                       unsigned& keysMade)
{
    std::uint32_t headerLength = 0;
    if (!ReadU32(file, headerLength))
    {
        return ReadResult::ShortRead;
    }
    // The block must be whole cipher blocks and hold the timestamp and the tag.
    constexpr std::size_t kTimestampLength = PasswordFile::kTimestampLength;
    constexpr std::string_view kVerificationTag = PasswordFile::kVerificationTag;
    if (headerLength % CipherEngine::kBlockSize != 0 || headerLength < kTimestampLength + kVerificationTag.size())
    {
        return ReadResult::Damaged;
    }
    SecureString header;
    if (!ReadBlock(file, headerLength, header))
    {
        return ReadResult::ShortRead;
    }
    const std::uint64_t bodyLength = file.Remaining();
    if (bodyLength % CipherEngine::kBlockSize != 0)
    {
        return ReadResult::Damaged;
    }
    const std::string_view key = password.substr(0, CipherEngine::kMaxKeyLength);
    {
        CipherEngine check(std::move(header));
        ++keysMade;
        check.DecryptInPlace(key);
        if (std::string_view(check.Data()).substr(kTimestampLength, kVerificationTag.size()) != kVerificationTag)
        {
            return ReadResult::WrongPassword;
        }
    }
    ++keysMade;
    const CbcDecryptor body(key);
    // The padding is one to sixteen bytes.
    records.emplace(bodyLength, 1, CipherEngine::kBlockSize);
    bool damaged = false;
    const bool read = ReadDecryptedBody(file, bodyLength, body,
                                        [&](std::string_view piece)
                                        {
                                            damaged = !records->Feed(piece);
                                            return !damaged;
                                        });
    return damaged ? ReadResult::Damaged : read ? ReadResult::Done : ReadResult::ShortRead;
}

// Hands the records on only when the whole body held what it says, so that a damaged body adds
// nothing.
ReadResult TakeRecords(std::optional<BodyRecords>& records, PasswordStore& store)
{
    return records && records->TakeInto(store) ? ReadResult::Done : ReadResult::Damaged;
}

// The cut key's message, once for each key that was made of the password.
void WarnOfCutKey(std::string_view password, unsigned keysMade)
{
    if (password.size() > CipherEngine::kMaxKeyLength)
    {
        for (unsigned i = 0; i < keysMade; ++i)
        {
            CipherEngine::WarnOfCutKey();
        }
    }
}

} // namespace

std::string PasswordFile::FormatTimestamp(const std::tm& time, const char* pattern)
{
    std::array<char, 64> buffer{};
    std::size_t length = std::strftime(buffer.data(), buffer.size(), pattern, &time);
    return std::string(buffer.data(), length);
}

bool PasswordFile::WithinLimits(std::uint64_t recordCount, std::uint64_t fileSize)
{
    return recordCount <= kMaxRecords && fileSize <= kMaxFileSize;
}

std::uint64_t PasswordFile::BodyPlainLength(const PasswordStore& store)
{
    std::uint64_t body = kTimestampLength + 4;
    for (auto position = store.GetHeadPosition(); position; position = store.GetNextPosition(position))
    {
        body += 4 + store.GetAt(position).size();
    }
    return body;
}

std::uint64_t PasswordFile::V03FileSize(const PasswordStore& store)
{
    return 4 + kMagicLength + 4 + CipherEngine::PaddedLength(kTimestampLength + kVerificationTag.size()) +
           CipherEngine::PaddedLength(BodyPlainLength(store));
}

PasswordFile::Identified PasswordFile::IdentifyVersion(ByteSource& file)
{
    std::uint32_t length = 0;
    if (!ReadU32(file, length))
    {
        return {ReadResult::ShortRead, FileVersion::Unknown};
    }
    if (length != kMagicLength)
    {
        return {ReadResult::Damaged, FileVersion::Unknown};
    }
    std::array<char, kMagicLength> magic{};
    if (file.Read(magic.data(), magic.size()) != magic.size())
    {
        return {ReadResult::ShortRead, FileVersion::Unknown};
    }
    std::string_view text = UpToZero(std::string_view(magic.data(), magic.size()));
    FileVersion version = text == kMagicV04   ? FileVersion::V04
                          : text == kMagicV03 ? FileVersion::V03
                          : text == kMagicV02 ? FileVersion::V02
                          : text == kMagicV01 ? FileVersion::V01
                                              : FileVersion::Unknown;
    return {ReadResult::Done, version};
}

PasswordFile::Identified PasswordFile::Read(ByteSource& file, std::string_view password, std::uint64_t legacySeed,
                                            PasswordStore& store, const std::function<void()>& allRead)
{
    if (file.Remaining() > kMaxFileSize)
    {
        allRead();
        return {ReadResult::TooLarge, FileVersion::Unknown};
    }
    Identified identified = IdentifyVersion(file);
    std::optional<BodyRecords> records;
    unsigned keysMade = 0;
    if (identified.result == ReadResult::Done && identified.version == FileVersion::V03)
    {
        identified.result = ReadV03Body(file, password, records, keysMade);
    }
    else if (identified.result == ReadResult::Done && identified.version == FileVersion::V04)
    {
        identified.result = ReadV04Body(file, password, records);
    }
    else if (identified.result == ReadResult::Done && identified.version == FileVersion::V02)
    {
        // Unscrambling shows nothing, so it may go on while the file is open.
        identified.result = ReadV02(file, legacySeed, store);
    }
    allRead();
    WarnOfCutKey(password, keysMade);
    if (identified.result == ReadResult::Done &&
        (identified.version == FileVersion::V03 || identified.version == FileVersion::V04))
    {
        identified.result = TakeRecords(records, store);
    }
    return identified;
}

ReadResult PasswordFile::ReadV03(ByteSource& file, std::string_view password, PasswordStore& store)
{
    std::optional<BodyRecords> records;
    unsigned keysMade = 0;
    ReadResult result = ReadV03Body(file, password, records, keysMade);
    WarnOfCutKey(password, keysMade);
    return result == ReadResult::Done ? TakeRecords(records, store) : result;
}

ReadResult PasswordFile::ReadV02(ByteSource& file, std::uint64_t legacySeed, PasswordStore& store)
{
    LegacyScramble scramble(legacySeed);
    std::uint32_t tagLength = 0;
    SecureString buffer;
    if (!ReadU32(file, tagLength) || !ReadBlock(file, tagLength, buffer))
    {
        return ReadResult::ShortRead;
    }
    scramble.ApplyInPlace(buffer.data(), buffer.size());
    if (UpToZero(buffer) != kVerificationTag)
    {
        return ReadResult::WrongPassword;
    }
    std::uint32_t count = 0;
    if (!ReadU32(file, count))
    {
        return ReadResult::ShortRead;
    }
    // Every record takes at least its four length bytes.
    std::uint64_t rest = file.Remaining();
    if (count > kMaxRecords || std::uint64_t{count} * 4 > rest)
    {
        return ReadResult::Damaged;
    }
    for (std::uint32_t i = 0; i < count; ++i)
    {
        std::uint32_t length = 0;
        if (!ReadU32(file, length) || !ReadBlock(file, length, buffer))
        {
            return ReadResult::ShortRead;
        }
        scramble.ApplyInPlace(buffer.data(), buffer.size());
        store.AddTail(buffer);
    }
    WipeString(buffer);
    return ReadResult::Done;
}

PasswordFile::Written PasswordFile::WriteV03(ByteSink& file, std::string_view password, const PasswordStore& store,
                                             const std::tm& saveTime)
{
    Written result;
    std::string head;
    AppendU32(head, static_cast<std::uint32_t>(kMagicV03.size()));
    head.append(kMagicV03);

    CipherEngine header(ToSecure(FormatTimestamp(saveTime, kVerificationPattern)));
    header.Data().append(kVerificationTag);
    header.EncryptInPlace(password);
    AppendU32(head, static_cast<std::uint32_t>(header.Data().size()));
    head.append(header.Data());
    result.fileError = file.Write(head.data(), head.size());
    if (result.fileError != 0)
    {
        return result;
    }

    CbcEncryptor cipher(password);
    BodyWriter body(file, [&](unsigned char* bytes, std::size_t length) { cipher.EncryptBlocks(bytes, length); });
    result.listConsistent = body.AppendStore(store, saveTime);
    result.fileError = body.Finish(true);
    return result;
}

} // namespace kavelmark
