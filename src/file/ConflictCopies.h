#pragma once

#include <string>
#include <string_view>
#include <vector>

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

} // namespace kavelmark
