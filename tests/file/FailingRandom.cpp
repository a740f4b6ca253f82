#include "file/FailingRandom.h"

#include <cerrno>

#include <dlfcn.h>
#include <sys/random.h>

namespace
{

bool failing = false;

} // namespace

namespace kavelmark::testing
{

void FailRandom(bool fail)
{
    failing = fail;
}

} // namespace kavelmark::testing

// Takes the place of the C library's for the whole test program.
extern "C" ssize_t getrandom(void* buffer, size_t length, unsigned int flags)
{
    if (failing)
    {
        errno = ENOSYS;
        return -1;
    }
    using Real = ssize_t (*)(void*, size_t, unsigned int);
    static const Real real = reinterpret_cast<Real>(::dlsym(RTLD_NEXT, "getrandom"));
    return real(buffer, length, flags);
}
