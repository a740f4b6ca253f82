#pragma once

// What the session and its dialogs say to the user, in one place.

namespace kavelmark
{

// The configuration's "?" button, for screen readers: it chooses the password file.
inline constexpr const char* kBrowseName = "Datei wählen";

inline constexpr const char* kCreateEmptyText =
    "Die Passwortdatei konnte nicht geladen werden,\nes wird eine leere angelegt!";
inline constexpr const char* kNotOkText = "Die Passwortdatei ist nicht ok und\n wird nicht gespeichert!";
inline constexpr const char* kReloadFailedText = "Beim Laden der Passwortdatei ist ein Fehler aufgetreten!";
inline constexpr const char* kDiscardQuestionText =
    "Die Passwortdatei konnte nicht gespeichert werden.\n"
    "Wollen Sie Kavelmark trotzdem beenden? Alle Änderungen seit dem letzten Speichern gehen dann "
    "verloren.\n\n"
    "Mit \"Abbrechen\" bleibt das Fenster offen, und Sie können die Datei über \"Datei speichern unter\" "
    "an einem anderen Ort speichern.";
// The user chose to keep the other program's version: nothing failed, the changes are only not saved.
inline constexpr const char* kEndUnsavedCaption = "Nicht gespeichert";
inline constexpr const char* kEndUnsavedQuestionText =
    "Ihre Änderungen sind nicht gespeichert: Die Datei behält die Fassung des anderen Programms.\n"
    "Wollen Sie Kavelmark beenden, ohne Ihre Änderungen zu speichern?\n\n"
    "Mit \"Abbrechen\" bleibt das Fenster offen, und Sie können Ihre Änderungen über \"Datei speichern unter\" "
    "an einem anderen Ort speichern.";
inline constexpr const char* kConfirmPasswordPrompt = "Bitte geben Sie Ihr Kennwort zur Bestätigung noch einmal ein.";
// A new file is made only with a password typed twice; when the two differ, the message is the one
// of a password change whose new passwords differ. The login window has room for one short line.
inline constexpr const char* kNewFilePasswordPrompt = "Bitte Kennwort wiederholen:";

// The login and change-password dialogs.
inline constexpr const char* kLoginPrompt = "Bitte geben Sie Ihr Kennwort ein.";
inline constexpr const char* kOldPasswordPrompt = "Bitte geben Sie Ihr altes Kennwort ein.";
inline constexpr const char* kNewPasswordPrompt = "Bitte geben Sie Ihr neues Kennwort ein.";
inline constexpr const char* kRepeatPasswordPrompt = "Bitte wiederholen Sie Ihr Kennwort.";
// The change of the password checks the old one against the session's: its own wording.
inline constexpr const char* kWrongOldPasswordText = "Das Kennwort ist falsch!";
inline constexpr const char* kNewPasswordsDifferText = "Die neuen Kennwörter stimmt nicht überein!";

// The configuration's format check box asks before the next save changes the file's format.
inline constexpr const char* kFormatCaption = "Dateiformat";
inline constexpr const char* kHardenFormatQuestion =
    "Soll die Datei ab dem nächsten Speichern im gehärteten Format V0.4 geschrieben werden?\n\n"
    "Das Kennwort ist dann gegen massenhaftes Durchprobieren gestärkt, und jede Änderung an der "
    "Datei wird erkannt. Programme, die nur das Format V0.3 lesen, können die Datei danach nicht "
    "mehr öffnen.";
inline constexpr const char* kSoftenFormatQuestion =
    "Soll die Datei ab dem nächsten Speichern wieder im Format V0.3 geschrieben werden?\n\n"
    "Jedes Programm, das V0.3 liest, kann sie dann öffnen. Das Kennwort ist dann aber nicht mehr "
    "gegen massenhaftes Durchprobieren gestärkt, und Änderungen an der Datei werden nicht mehr "
    "erkannt.";
// The block mode shown is the one the chosen format encrypts its entries with.
inline constexpr const char* kCbcModeText = "CBC - Cipher Block Chaining";
inline constexpr const char* kGcmModeText = "GCM - Galois/Counter Mode";

// A V0.4 file may ask for far more memory and time than this program spends on its own files: the
// question before that derivation. The mebibytes and the seconds follow the first two parts.
inline constexpr const char* kCostlyFileCaption = "Aufwendige Datei";
inline constexpr const char* kCostlyFileTextStart = "Diese Datei verlangt zum Öffnen ";
inline constexpr const char* kCostlyFileTextMemory = " MiB Speicher und etwa ";
inline constexpr const char* kCostlyFileTextSeconds = " Sekunden Rechenzeit. Trotzdem öffnen?";
inline constexpr const char* kCostlyFileTextSecond = " Sekunde Rechenzeit. Trotzdem öffnen?";
// A peer's older program wrote the file in V0.3; this session keeps it hardened.
inline constexpr const char* kOlderFormatArrivedText =
    "Eine Version im älteren Format V0.3 ist angekommen (von einem älteren Programm auf einem anderen "
    "Rechner?). Kavelmark speichert die Datei weiter im gehärteten Format V0.4.";

// Working with a sync folder: the file changed elsewhere, and the copies a sync engine keeps of a
// conflict.
// The login window has room for one short line.
// The prompt for the password of a version of the file that none of the session's passwords
// opens, in a window of its own title.
inline constexpr const char* kOtherDevicePasswordPrompt =
    "Die Datei wurde auf einem anderen Gerät mit einem anderen Kennwort gespeichert.";
inline constexpr const char* kOtherDevicePasswordTitle = "Kennwort vom anderen Gerät";
inline constexpr const char* kMergedCaption = "Zusammengeführt";
inline constexpr const char* kMergedFileText =
    "Die Änderungen der anderen Seite wurden übernommen und die Passwortdatei gespeichert.";
inline constexpr const char* kMergedCopyText =
    "Die Konfliktkopie wurde übernommen, die Passwortdatei gespeichert und die Kopie gelöscht:\n";
inline constexpr const char* kMergedCopyKeptText =
    "Die Konfliktkopie wurde übernommen und die Passwortdatei gespeichert. Die Kopie bleibt liegen, weil das "
    "Synchronisationsprogramm sie inzwischen durch eine neuere Fassung ersetzt hat oder weil sie nicht gelöscht "
    "werden konnte:\n";
// The counts follow each line.
inline constexpr const char* kMergedFromOtherLine = "Von der anderen Seite übernommen: ";
inline constexpr const char* kMergedDeletedLine = "Dort gelöscht: ";
inline constexpr const char* kMergedTwiceLine = "Jetzt doppelt, weil beide Seiten sie geändert haben: ";
inline constexpr const char* kMergedTwiceHint =
    "Bitte löschen Sie von den doppelten Einträgen jeweils die Fassung, die nicht mehr gilt.";
// Under the hint, one line per doubled entry ("Kategorie: Name"); beyond ten, the rest counted.
inline constexpr const char* kMergedTwiceHeading = "Doppelt stehen jetzt:";
inline constexpr const char* kMergedTwiceMoreStart = "und ";
inline constexpr const char* kMergedTwiceMoreEnd = " weitere";
// Said after a merge with a version under another password: the side that changed the password
// since both last shared one wins; when both did, this computer's stays.
inline constexpr const char* kPasswordTakenNote =
    "Das Kennwort wurde auf dem anderen Gerät geändert; die Passwortdatei hat jetzt dieses Kennwort.";
inline constexpr const char* kPasswordKeptNote =
    "Das Kennwort wurde hier und auf dem anderen Gerät geändert; die Passwortdatei behält das hier gewählte.";
inline constexpr const char* kConflictCopyCaption = "Konfliktkopie";
inline constexpr const char* kNoConflictCopiesText = "Neben der Passwortdatei liegen keine Konfliktkopien.";
// The path of the copy follows.
inline constexpr const char* kConflictCopyQuestion =
    "Neben der Passwortdatei liegt eine Konfliktkopie, die ein Synchronisationsprogramm angelegt hat, weil die "
    "Datei auf zwei Geräten zugleich geändert wurde.\n"
    "Soll sie in die Passwortdatei übernommen werden? Danach wird die Datei gespeichert und die Kopie gelöscht; "
    "kein Eintrag einer der beiden Seiten geht verloren.\n\n";
// Several copies at once: the number of copies precedes, the folder follows.
inline constexpr const char* kConflictCopiesQuestion =
    " Konfliktkopien gefunden: zusammenführen?\n\n"
    "Ein Synchronisationsprogramm hat sie neben der Passwortdatei angelegt, weil die Datei auf mehreren Geräten "
    "zugleich geändert wurde. Danach wird die Passwortdatei gespeichert und jede übernommene Kopie gelöscht; "
    "kein Eintrag geht verloren. Hat eine Kopie ein anderes Kennwort, wird nach ihm gefragt.\n\nOrdner: ";
// What became of several copies, in one message; a count follows each line.
inline constexpr const char* kMergedCopiesText =
    "Die Konfliktkopien wurden übernommen und die Passwortdatei gespeichert.";
inline constexpr const char* kNoCopyMergedText = "Keine der Konfliktkopien wurde übernommen.";
inline constexpr const char* kMergedCopiesLine = "Übernommene Kopien: ";
// The paths follow, one a line.
inline constexpr const char* kCopiesKeptHeading =
    "Übernommen, aber nicht gelöscht (inzwischen durch eine neuere Fassung ersetzt oder nicht löschbar):";
inline constexpr const char* kCopiesUnreadHeading =
    "Nicht übernommen und liegen gelassen (nicht lesbar, Kennwort nicht angegeben oder seit der Frage ersetzt):";
inline constexpr const char* kMoreCopiesLine = "… und weitere: ";

} // namespace kavelmark
