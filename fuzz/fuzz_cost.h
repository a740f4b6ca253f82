#pragma once

#include "crypto/KeyDerivation.h"

namespace kavelmark
{

// The derivation cost of the fuzz build's V0.4 files: the least Argon2id takes for one lane.
// The targets pass over inputs that ask for more than kFuzzV04MaxCost, which would spend
// seconds of an execution on the key instead of the reader.
inline constexpr Argon2idCost kFuzzV04Cost{8, 1, 1};
inline constexpr Argon2idCost kFuzzV04MaxCost{64, 2, 2};

} // namespace kavelmark
