#pragma once

#include <cstdint>

#include "platform/SecureString.h"
#include "store/PasswordStore.h"

namespace kavelmark
{

// Loads the password file named by the setting Config/MainEntryFile into the store.
// Results: 0 loaded (also a V0.1 file), 2 the file does not exist, -1 wrong password or a
// short read, another positive value the cause code of a failed open; damaged files get a
// result that is neither 0 nor 2, so the session refuses to save over them. Messages go
// through the messages seam before it returns.
int Load(PasswordStore& store, const SecureString& password, std::uint64_t legacySeed);

// Writes the whole store as a V0.3 file to Config/MainEntryFile, replacing the old file
// only once the new one is safely on disk. 0 on success; non-zero (with a message) when the
// file could not be written, -1 when the list and its count disagree.
int Save(const PasswordStore& store, const SecureString& password);

} // namespace kavelmark
