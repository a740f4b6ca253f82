#pragma once

#include <cstddef>
#include <cstdint>

#include "file/FileDigest.h"
#include "file/FileIdentity.h"
#include "file/RetryingFile.h"

namespace kavelmark
{

// The bytes of a load or a save pass through the FileDigest on their way, so that the change check
// gets the file's digest without a read of its own.

class DigestingSource final : public ByteSource
{
public:
    explicit DigestingSource(ByteSource& source) : source_(source)
    {
    }
    // Reads in slices, each hashed while it is still in the cache.
    std::size_t Read(char* buffer, std::size_t size) override;
    std::uint64_t Remaining() const override
    {
        return source_.Remaining();
    }
    // Puts the digest of every byte read into identity, once the source was read to its end;
    // false (and identity unchanged) before.
    bool Finish(FileIdentity& identity);

private:
    ByteSource& source_;
    FileDigest hash_;
    bool failed_ = false;
};

class DigestingSink final : public ByteSink
{
public:
    explicit DigestingSink(ByteSink& sink) : sink_(sink)
    {
    }
    int Write(const char* data, std::size_t size) override;
    // Puts the digest of every byte written into identity.
    void Finish(FileIdentity& identity);

private:
    ByteSink& sink_;
    FileDigest hash_;
};

} // namespace kavelmark
