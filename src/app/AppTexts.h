#pragma once

// What the session and its dialogs say to the user, in one place.

namespace kavelmark
{

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
inline constexpr const char* kConfirmPasswordPrompt = "Bitte geben Sie Ihr Kennwort zur Bestätigung noch einmal ein.";

// The login and change-password dialogs.
inline constexpr const char* kLoginPrompt = "Bitte geben Sie Ihr Kennwort ein.";
inline constexpr const char* kOldPasswordPrompt = "Bitte geben Sie Ihr altes Kennwort ein.";
inline constexpr const char* kNewPasswordPrompt = "Bitte geben Sie Ihr neues Kennwort ein.";
inline constexpr const char* kRepeatPasswordPrompt = "Bitte wiederholen Sie Ihr Kennwort.";
// The change of the password checks the old one against the session's: its own wording.
inline constexpr const char* kWrongOldPasswordText = "Das Kennwort ist falsch!";
inline constexpr const char* kNewPasswordsDifferText = "Die neuen Kennwörter stimmt nicht überein!";

} // namespace kavelmark
