#pragma once

#include <string>

#include "file/LoadSave.h"

namespace kavelmark
{

// Whether the file at path is still, byte for byte, the one this process last loaded or saved
// there, in format: a save of the same store under the same password would then change nothing
// but the time of saving in it.
bool StillAsLastLoadedOrSaved(const std::string& path, FileFormat format);

} // namespace kavelmark
