#pragma once

#include <string>

#include "file/FileIdentity.h"
#include "file/LoadSave.h"
#include "platform/SecureString.h"
#include "store/PasswordStore.h"

namespace kavelmark
{

// What was read of a password file other than the session's own: the main file as another
// program left it, or a copy beside it.
struct OtherFileRead
{
    FileFormat format = FileFormat::V03;
    // What a save that follows a merge with this file expects to replace.
    FileIdentity identity;
};

// Reads the file into store (emptied first) without making it the session's: nothing is
// remembered, backed up or converted, and the format of the main file stays. Only a whole file
// of the current versions (V0.3, V0.4) is read: a merge with a file cut short, or with a V0.2 file
// that a mistyped password may pass, would delete entries. Loaded, Missing (nothing at path,
// silently), Refused (a wrong password, said only when told to; or a costly
// derivation declined, said never) or Damaged (said, as the load
// says it; also an older version). The file is closed before any message.
LoadResult ReadOtherFile(const std::string& path, const SecureString& password, PasswordStore& store,
                         OtherFileRead& read, bool sayWrongPassword);

// The same for a conflict copy, which anyone who writes the sync folder may replace by a symbolic
// link to another password file of the user's: a link at path is refused (Damaged, said), not
// followed.
LoadResult ReadConflictCopy(const std::string& path, const SecureString& password, PasswordStore& store,
                            OtherFileRead& read, bool sayWrongPassword);

} // namespace kavelmark
