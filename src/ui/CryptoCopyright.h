#pragma once

namespace kavelmark
{

// Crypto++'s copyright and licences in the form of Debian's copyright files, for systems
// where the library's package did not install its own.
const char* BuiltInCryptoCopyright();

} // namespace kavelmark
