#include "crypto/SystemRandom.h"

#include <cerrno>

#include <sys/random.h>

namespace kavelmark
{

bool FillSystemRandom(std::span<unsigned char> bytes)
{
    std::size_t filled = 0;
    while (filled < bytes.size())
    {
        const ssize_t got = ::getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (got < 0 && errno == EINTR)
        {
            continue;
        }
        if (got <= 0)
        {
            return false;
        }
        filled += static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace kavelmark
