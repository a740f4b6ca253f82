#include "file/FailingAllocation.h"

#include <cstdlib>
#include <new>

namespace
{
long countdown = 0;
bool failed = false;
} // namespace

void* operator new(std::size_t size)
{
    if (countdown > 0 && --countdown == 0)
    {
        failed = true;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size == 0 ? 1 : size))
    {
        return block;
    }
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

namespace kavelmark::testing
{

void FailAllocation(long n)
{
    countdown = n;
    failed = false;
}

bool AllocationFailed()
{
    return failed;
}

} // namespace kavelmark::testing
