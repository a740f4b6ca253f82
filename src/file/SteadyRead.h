#pragma once

#include <functional>
#include <string>

#include "file/LoadSave.h"

namespace kavelmark
{

// Reads the file at path with read, and again, a few times with growing pauses, while another
// program rewrote it in place during the read (read sets writtenWhileRead): such a read holds part
// of one version and part of another. Refuses the file with its message when every read was so.
LoadResult ReadUntilSteady(const std::string& path, const std::function<LoadResult(bool& writtenWhileRead)>& read);

} // namespace kavelmark
