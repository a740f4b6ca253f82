#pragma once

#include <cstddef>
#include <cstring>

namespace kavelmark
{

// Overwrites memory in a way the optimiser may not drop, at the speed of memset where the C
// library offers such a call.
inline void WipeBytes(void* data, std::size_t size) noexcept
{
#if defined(__GLIBC__) || defined(__OpenBSD__) || defined(__FreeBSD__)
    if (size != 0)
    {
        explicit_bzero(data, size);
    }
#else
    volatile unsigned char* p = static_cast<volatile unsigned char*>(data);
    while (size--)
    {
        *p++ = 0;
    }
#endif
}

// Memory for secrets. Blocks come from pages of their own that are left out of core dumps and
// locked in RAM as far as the lock limit allows (refusals are silent), so that a secret is not
// written to a core file or to swap. Small blocks share pages with other secret blocks only;
// those pages stay locked and excluded for the whole run, so releasing one block never
// exposes another. Every block comes zeroed and is wiped before it is reused or unmapped.
// Throws std::bad_alloc when no memory is left, like operator new.
void* AllocateSecure(std::size_t size);
void ReleaseSecure(void* block, std::size_t size) noexcept;

// Called with every block after it was wiped and before it is reused or unmapped, so that a
// test can see what a released block still holds. Null (the default) calls nothing.
using SecureReleaseHook = void (*)(const void* block, std::size_t size);
void SetSecureReleaseHook(SecureReleaseHook hook) noexcept;

} // namespace kavelmark
