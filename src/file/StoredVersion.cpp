#include "file/StoredVersion.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace kavelmark
{
namespace
{

class StringSource final : public ByteSource
{
public:
    explicit StringSource(std::string bytes) : bytes_(std::move(bytes))
    {
    }
    std::size_t Read(char* buffer, std::size_t size) override
    {
        const std::size_t count = bytes_.copy(buffer, size, position_);
        position_ += count;
        return count;
    }
    std::uint64_t Remaining() const override
    {
        return bytes_.size() - position_;
    }

private:
    std::string bytes_;
    std::size_t position_ = 0;
};

} // namespace

std::optional<FileVersion> StoredVersion(const std::string& path)
{
    struct stat info = {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
    {
        return std::nullopt;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
    {
        return std::nullopt;
    }
    std::string head(20, '\0'); // length field and magic
    const ssize_t got = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? ::read(fd, head.data(), head.size()) : -1;
    ::close(fd);
    head.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    StringSource source(std::move(head));
    const PasswordFile::Identified identified = PasswordFile::IdentifyVersion(source);
    if (identified.result != ReadResult::Done)
    {
        return std::nullopt;
    }
    return identified.version;
}

} // namespace kavelmark
