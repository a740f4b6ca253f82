#pragma once

#include <string>

namespace kavelmark
{

enum class BackupResult
{
    Made,
    Failed,
};

// Keeps a copy of an old-version file as "<path>.old_<n>", for the smallest n whose name is
// free, never over an existing file. The file itself stays at path: only the save that
// converts it replaces it, so that a run that ends before that save loses nothing. The copy
// is a hard link where the file system has them, else a copy of the bytes.
BackupResult KeepOldVersion(const std::string& path);

} // namespace kavelmark
