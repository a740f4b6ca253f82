#pragma once

#include <string>

namespace kavelmark
{

// kavelmark-file merge FILE OTHER: folds OTHER (a conflict copy, say) into FILE through the
// program's safe save, keeping every record max(FILE, OTHER) times, and prints the counts.
// Passwords: the first line of standard input for FILE, the second for OTHER (empty or none:
// the same). 0, or 1 with FILE unchanged.
int MergeCommand(const std::string& path, const std::string& otherPath);

} // namespace kavelmark
