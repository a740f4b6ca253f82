#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>

#include "file/FileTexts.h"
#include "platform/SecureString.h"
#include "store/PasswordStore.h"

namespace kavelmark
{

// What a load came to. The numbers are the load's results as its callers have always known
// them; a file that could not be opened gives the cause code of the failure (OpenFailure).
enum class LoadResult : int
{
    Loaded = 0,   // also a V0.1 file
    Missing = 2,  // no such file: the store holds the built-in categories
    Refused = -1, // a wrong password, or a file shorter than its own lengths
    Damaged = -2, // not a readable password file: the session never saves over it
};
constexpr LoadResult OpenFailure(int causeCode)
{
    return static_cast<LoadResult>(causeCode);
}

// Loads the password file named by the setting Config/MainEntryFile into the store.
// Damaged also covers a file that is not a regular file, one too large, and one whose load ran
// out of memory. The file is closed before any message goes through the messages seam.
LoadResult Load(PasswordStore& store, const SecureString& password, std::uint64_t legacySeed);

// What a save came to; a write that failed gives the cause code of the failure
// (WriteFailure), with a message.
enum class SaveResult : int
{
    Saved = 0,             // also when the file is in place but could not be confirmed on disk
    ListInconsistent = -1, // written, but the list and its count disagreed
    Kept = -3,             // another program changed the file, and the user kept its version
    TooLarge = -4,         // beyond the file's limits: nothing written, the store kept
};
constexpr SaveResult WriteFailure(int causeCode)
{
    return static_cast<SaveResult>(causeCode);
}

// Asks for the password once more before a V0.2 file is read into the store for good
// (a mistyped password passes its check about once in 256 times, and the next save
// would convert the file under it). Returns the password typed, or nothing when the user
// cancelled. Without a confirmer the password counts as confirmed. Installing an empty
// function removes it; returns the confirmer it replaces.
using PasswordConfirmer = std::function<std::optional<SecureString>()>;
PasswordConfirmer SetPasswordConfirmer(PasswordConfirmer confirmer);

// Writes the whole store as a V0.3 file to Config/MainEntryFile, replacing the old file
// only once the new one is safely on disk; a symbolic link stays and its target is written.
// A file that another program changed since this process loaded or saved it is replaced only
// after the user agreed ("Datei geändert").
SaveResult Save(const PasswordStore& store, const SecureString& password);

// Where Save takes the local time of the save from (read once per save). Installing an
// empty function restores the system clock; returns the clock it replaces.
using SaveClock = std::function<std::tm()>;
SaveClock SetSaveClock(SaveClock clock);

} // namespace kavelmark
