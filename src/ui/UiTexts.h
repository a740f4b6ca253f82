#pragma once

// What the main window and its dialogs say to the user, in one place. Texts with a "%1" take
// the value named beside them.

namespace kavelmark
{

// The entry list's name for screen readers: nothing on screen labels it.
inline constexpr const char* kEntryListName = "Einträge";

// Changes that show only in passing, said to screen readers.
inline constexpr const char* kClipboardClearedNotice = "Zwischenablage gelöscht";
inline constexpr const char* kValueHiddenNotice = "Wert wieder verborgen";
inline constexpr const char* kLockedNotice = "Gesperrt";

// The list's column headings, clicked.
inline constexpr const char* kSortByNameNotice = "Spaltensortierung nach Name ist noch nicht implementiert!";
inline constexpr const char* kSortNotice = "Spaltensortierung ist noch nicht implementiert!";
inline constexpr const char* kSortCaption = "Beta-Version";

// Deleting an entry: the question, then its name and description as the list shows them.
inline constexpr const char* kDeleteQuestion = "Wollen Sie diesen Eintrag wirklich löschen?";
inline constexpr const char* kDeleteCaption = "Eintrag löschen";

// The find command: %1 is the text searched for.
inline constexpr const char* kNotFoundText = "„%1“ wurde nicht gefunden.";
inline constexpr const char* kFindCaption = "Suchen";

// The help page: the path of its copy follows.
inline constexpr const char* kHelpFailedText = "Die Hilfeseite konnte nicht geöffnet werden:\n";
inline constexpr const char* kHelpCaption = "Hilfe";

// The edit dialog refuses a field that the record format cannot hold: %1 is the field's title.
inline constexpr const char* kUnstorableFieldText = "Das Feld „%1“ kann so nicht gespeichert werden.\n";
inline constexpr const char* kSeparatorInFieldText =
    "Die Zeichenfolge „_|_“ trennt die Felder eines Eintrags und darf in keinem Feld vorkommen.";
inline constexpr const char* kSeparatorAtEndText =
    "Ein Feld darf nicht auf „_|“ enden, weil daraus mit dem folgenden Feldtrenner ein „_|_“ würde.";
inline constexpr const char* kChangeTheTextText = "\nBitte ändern Sie den Text.";
inline constexpr const char* kEditCaption = "Information";

// The password generator's line under its candidate: %1 is the strength in bits.
inline constexpr const char* kNoCandidateText = "Länge 8 bis 64 und mindestens eine Zeichengruppe wählen";
inline constexpr const char* kStrengthText = "Stärke: %1 Bit";

// What the clipboard's notice calls a value whose category gives it no label: %1 is its number.
inline constexpr const char* kUnnamedValueText = "Wert %1";

} // namespace kavelmark
