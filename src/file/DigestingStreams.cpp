#include "file/DigestingStreams.h"

#include <algorithm>

namespace kavelmark
{
namespace
{

constexpr std::size_t kSliceSize = 256 * 1024;

} // namespace

std::size_t DigestingSource::Read(char* buffer, std::size_t size)
{
    std::size_t done = 0;
    while (done < size)
    {
        const std::size_t slice = std::min(kSliceSize, size - done);
        const std::size_t got = source_.Read(buffer + done, slice);
        hash_.Update(buffer + done, got);
        done += got;
        if (got < slice)
        {
            failed_ = true;
            break;
        }
    }
    return done;
}

bool DigestingSource::Finish(FileIdentity& identity)
{
    if (failed_ || source_.Remaining() != 0)
    {
        return false;
    }
    identity.digest = hash_.Final();
    identity.hasDigest = true;
    return true;
}

int DigestingSink::Write(const char* data, std::size_t size)
{
    hash_.Update(data, size);
    return sink_.Write(data, size);
}

void DigestingSink::Finish(FileIdentity& identity)
{
    identity.digest = hash_.Final();
    identity.hasDigest = true;
}

} // namespace kavelmark
