#pragma once

#include <span>

namespace kavelmark
{

// Fills bytes from the operating system's generator (getrandom), waiting for it to be seeded.
// False when it cannot be read.
bool FillSystemRandom(std::span<unsigned char> bytes);

} // namespace kavelmark
