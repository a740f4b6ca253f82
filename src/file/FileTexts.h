#pragma once

// What the file room says to the user, in one place: the texts of load and save, with their
// captions. A text that a path or numbers complete ends before them.

namespace kavelmark
{

inline constexpr const char* kLoadErrorCaption = "Ladefehler";
inline constexpr const char* kFileErrorCaption = "Datei-Fehler";
inline constexpr const char* kWrongPasswordCaption = "ERROR";

inline constexpr const char* kWrongPasswordText = "Das Passwort ist falsch!";
inline constexpr const char* kDamagedFileText = "Die Passwortdatei ist beschädigt und wird nicht gelesen:\n";
inline constexpr const char* kUnknownFormatText =
    "Die Datei ist keine Passwortdatei in einem bekannten Format und wird nicht gelesen:\n";
inline constexpr const char* kTooLargeFileText =
    "Die Datei ist zu groß für eine Passwortdatei und wird nicht gelesen:\n";
inline constexpr const char* kNotARegularFileText =
    "Unter diesem Namen liegt keine gewöhnliche Datei; sie wird nicht gelesen:\n";
inline constexpr const char* kOlderVersionText =
    "Die Datei hat ein älteres Format und kann nicht zusammengeführt werden. Öffnen Sie sie einmal als "
    "Passwortdatei, damit Kavelmark sie umwandelt:\n";
inline constexpr const char* kWrittenWhileReadText =
    "Die Datei wurde während des Lesens immer wieder von einem anderen Programm geändert und wird nicht gelesen. "
    "Bitte versuchen Sie es gleich noch einmal:\n";
// Its caption is the path of the file.
inline constexpr const char* kBackupFailedText =
    "Fehler beim Umbenennen der Datendatei (alte Version der Datei vor Überschreiben mit der neuen schützen).";

// Save's own messages; the path of the file follows each text.
inline constexpr const char* kChangedFileCaption = "Datei geändert";
inline constexpr const char* kChangedFileText =
    "Die Passwortdatei wurde seit dem Laden oder letzten Speichern an anderer Stelle (ein anderes Programm oder "
    "ein anderes Gerät) geändert.\nSoll sie trotzdem überschrieben werden? Die Änderungen von dort gehen dann "
    "verloren.\n\n";
inline constexpr const char* kChangedFileMergeText =
    "Die Passwortdatei wurde seit dem Laden oder letzten Speichern an anderer Stelle (ein anderes Programm oder "
    "ein anderes Gerät) geändert.\nBeim Zusammenführen bleiben die Änderungen beider Seiten erhalten. Beim "
    "Überschreiben gehen die Änderungen von dort verloren.\n\n";
inline constexpr const char* kNoRandomBytesText =
    "Das System lieferte keine Zufallszahlen für den Schlüssel der Datei. Die Passwortdatei wurde nicht "
    "gespeichert; die Datei auf dem Datenträger bleibt unverändert.";
inline constexpr const char* kNoKeyMemoryText =
    "Für die Berechnung des Schlüssels der Datei war nicht genug Speicher frei. Die Passwortdatei wurde nicht "
    "gespeichert; die Datei auf dem Datenträger bleibt unverändert.";
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

} // namespace kavelmark
