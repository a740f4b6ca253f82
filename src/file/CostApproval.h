#pragma once

#include <functional>

#include "crypto/KeyDerivation.h"

namespace kavelmark
{

// A V0.4 file names the cost of its own key derivation, and the reader takes up to 1 GiB and
// 64 passes: a minute and more of work that any file placed in the folder can demand. So a cost
// above a ceiling is derived only once the user agreed. The ceiling is four times what this
// program writes: the memory, or the memory times the passes (the time). Lanes only spread the
// same work over threads and do not count.
inline constexpr unsigned kV04CostCeilingFactor = 4;
bool V04CostAboveCeiling(const Argon2idCost& cost, const Argon2idCost& written);

// Asked before a cost above the ceiling is derived (the written cost being the one a V0.4 save
// uses now, see SetV04WriteCost); true lets the derivation run. Without an approver every cost
// the reader takes is derived. Installing an empty function removes it; returns the one it
// replaces.
using CostApprover = std::function<bool(const Argon2idCost& cost)>;
CostApprover SetCostApprover(CostApprover approver);

// What the reader asks before it derives: true below the ceiling, without an approver, or when
// the approver agrees.
bool MayDerive(const Argon2idCost& cost);

} // namespace kavelmark
