#pragma once

namespace kavelmark::testing
{

// The file tests' getrandom passes to the system's until armed; armed, it fails as a kernel
// without the call would.
void FailRandom(bool fail);

} // namespace kavelmark::testing
