#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "file/FileIdentity.h"

namespace kavelmark
{

// Whether candidate is the name under which a sync engine keeps the losing side of a conflict on
// fileName ("NAME.EXT"):
//   Syncthing  NAME.sync-conflict-YYYYMMDD-HHMMSS-DEVICE.EXT
//   Nextcloud  NAME (conflicted copy YYYY-MM-DD HHMMSS).EXT   (also with a user's name before the date)
//   Dropbox    NAME (… conflicted copy YYYY-MM-DD).EXT
bool IsConflictCopyName(std::string_view candidate, std::string_view fileName);

// The conflict copies of the password file at path (the target of a symbolic link, where the
// engine writes), as paths, sorted; regular files only.
std::vector<std::string> FindConflictCopies(const std::string& path);

// The identity, digest included, of the regular file at copy; exists is false for anything else,
// a symbolic link among them.
FileIdentity ConflictCopyIdentity(const std::string& copy);

enum class CopyRemoval
{
    Removed,
    // Something other than the copy read lies there now (a newer version the engine brought): kept.
    Replaced,
    Failed,
};
// Removes the copy only while it is still the file read (identity). Call under the folder's lock,
// so that no save of ours renames into the folder meanwhile.
CopyRemoval RemoveUnchangedCopy(const std::string& copy, const FileIdentity& identity);

} // namespace kavelmark
