#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>

#include "platform/SecureString.h"
#include "store/PasswordStore.h"

namespace kavelmark
{

// Load's result for a file it refuses: an unknown magic, or lengths the format cannot
// describe. The session treats it like every failed load and never saves over such a file.
inline constexpr int kLoadDamaged = -2;

// Loads the password file named by the setting Config/MainEntryFile into the store.
// Results: 0 loaded (also a V0.1 file), 2 the file does not exist, -1 wrong password or a
// short read, kLoadDamaged a file that is not a readable password file (also one that is
// not a regular file, one too large, or one whose load ran out of memory), another
// positive value the cause code of a failed open; damaged files get a result that is
// neither 0 nor 2, so the session refuses to save over them. The file is closed before
// any message goes through the messages seam.
int Load(PasswordStore& store, const SecureString& password, std::uint64_t legacySeed);

// Save's result when the file changed since this process loaded or last saved it and the
// user chose not to overwrite it: nothing was written.
inline constexpr int kSaveKept = -3;

// Save's result for a store that would make a file larger than a load takes: nothing was
// written, and the store is kept so that the user can delete entries and save again.
inline constexpr int kSaveTooLarge = -4;

// Save's own messages; the path of the file follows each text.
inline constexpr const char* kChangedFileCaption = "Datei geändert";
inline constexpr const char* kChangedFileText =
    "Die Passwortdatei wurde seit dem Laden oder letzten Speichern von einem anderen Programm geändert.\n"
    "Soll sie trotzdem überschrieben werden? Die Änderungen des anderen Programms gehen dann verloren.\n\n";
inline constexpr const char* kUnconfirmedSaveText = "Die Passwortdatei wurde gespeichert, aber das Schreiben auf den "
                                                    "Datenträger konnte nicht bestätigt werden.\n\n";

// The refusal of a store too large: the count of records and the file's size in MB are put
// between the parts, in this order.
inline constexpr const char* kTooLargeTextStart = "Die Passwortdatei wird nicht gespeichert: Mit ";
inline constexpr const char* kTooLargeTextMiddle = " Einträgen und Kategorien wäre sie ";
inline constexpr const char* kTooLargeTextEnd =
    " MB groß. Kavelmark kann nur Passwortdateien bis 64 MB mit höchstens 1.000.000 Einträgen und Kategorien "
    "lesen.\nBitte löschen Sie Einträge und speichern Sie dann erneut. Die Datei auf dem Datenträger bleibt "
    "unverändert.\n\n";

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
// after the user agreed ("Datei geändert"). 0 on success, also when the file is in place but
// could not be confirmed on disk (with a message); kSaveKept, kSaveTooLarge or another non-zero
// value (with a message) when the file was not written, -1 when the list and its count disagree.
int Save(const PasswordStore& store, const SecureString& password);

// Where Save takes the local time of the save from (read once per save). Installing an
// empty function restores the system clock; returns the clock it replaces.
using SaveClock = std::function<std::tm()>;
SaveClock SetSaveClock(SaveClock clock);

} // namespace kavelmark
