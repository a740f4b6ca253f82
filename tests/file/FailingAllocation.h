#pragma once

namespace kavelmark::testing
{

// Every allocation of the file tests goes through a replaced operator new, so that a test
// can make exactly one of them throw std::bad_alloc: the n-th from now (0 disarms).
void FailAllocation(long n);
// Whether the armed allocation came and failed.
bool AllocationFailed();

} // namespace kavelmark::testing
