#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>

#include "crypto/KeyDerivation.h"
#include "file/FileIdentity.h"
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
    Refused = -1, // a wrong password, a file shorter than its own lengths, or a costly one declined
    Damaged = -2, // not a readable password file: the session never saves over it
};
constexpr LoadResult OpenFailure(int causeCode)
{
    return static_cast<LoadResult>(causeCode);
}

// The formats a save writes: V0.3, the default that every reader of the format knows, and V0.4,
// the hardened one (Argon2id key, authenticated Twofish-GCM body) that the user chooses.
enum class FileFormat
{
    V03,
    V04,
};

// Loads the password file named by the setting Config/MainEntryFile into the store.
// Damaged also covers a file that is not a regular file, one too large, and one whose load ran
// out of memory. The file is closed before any message goes through the messages seam.
// A V0.4 file refuses a wrong password as V0.3 does, and any change to its bytes as Damaged,
// with nothing appended. A V0.1 or V0.2 file is converted to convertTo by the next save; until
// then it stays at its path, and a load that read it keeps a backup beside it ("<path>.old_<n>").
LoadResult Load(PasswordStore& store, const SecureString& password, std::uint64_t legacySeed,
                FileFormat convertTo = FileFormat::V03);

// The format of the main file, which the next Save writes. A load that read a file sets it:
// to the file's own format (V0.3 or V0.4), to convertTo for a V0.1 or V0.2 file, and to V0.3
// when there is no file; a load that failed leaves it. It stays for the session's later saves,
// also one under another name (Config/MainEntryFile changed), until a load or
// SetMainFileFormat changes it.
FileFormat MainFileFormat();
// What the session sets when the user chooses the format (the configuration dialog).
void SetMainFileFormat(FileFormat format);

// What a save came to; a write that failed gives the cause code of the failure
// (WriteFailure), with a message.
enum class SaveResult : int
{
    Saved = 0,             // also when the file is in place but could not be confirmed on disk
    ListInconsistent = -1, // written, but the list and its count disagreed
    Kept = -3,             // another program changed the file, and the user kept its version
    TooLarge = -4,         // beyond the file's limits: nothing written, the store kept
    MergeChosen = -5,      // another program changed the file and the user chose to merge: nothing written
    // (a V0.4 save that can get no random bytes or no memory for its key: WriteFailure of
    // kFileNoRandomBytes or kFileNoKeyMemory)
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

// Writes the whole store in MainFileFormat() to Config/MainEntryFile, replacing the old file
// only once the new one is safely on disk; a symbolic link stays and its target is written.
// A file that another program changed since this process loaded or saved it is replaced only
// after the user agreed ("Datei geändert").
SaveResult Save(const PasswordStore& store, const SecureString& password);

// How a save treats a file that another program changed.
struct SaveOptions
{
    // The file the save may replace without asking; by default the one this process last loaded
    // or saved at the path.
    std::optional<FileIdentity> expected;
    // Whether "Datei geändert" offers "&Zusammenführen" beside "&Überschreiben": the caller then
    // merges on MergeChosen and saves the merged store expecting the file it merged with.
    bool offerMerge = false;
};
SaveResult Save(const PasswordStore& store, const SecureString& password, const SaveOptions& options);

// Where Save takes the local time of the save from (read once per save). Installing an
// empty function restores the system clock; returns the clock it replaces.
using SaveClock = std::function<std::tm()>;
SaveClock SetSaveClock(SaveClock clock);

// The Argon2id cost of a V0.4 save; PasswordFile::kV04WriteCost unless set, for tests that
// cannot spend 64 MiB on every save. Returns the cost it replaces.
Argon2idCost SetV04WriteCost(const Argon2idCost& cost);

} // namespace kavelmark
