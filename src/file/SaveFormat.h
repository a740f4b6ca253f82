#pragma once

#include "file/LoadSave.h"

namespace kavelmark
{

// The cost that SetV04WriteCost set, for Save.
Argon2idCost V04WriteCost();

} // namespace kavelmark
