#pragma once

namespace kavelmark
{

// The program speaks German whatever the desktop's language: Qt's own texts (context menus,
// the file dialog, standard buttons) too. Call once the application object exists. Returns
// whether Qt's German translations were found; without them those texts stay English.
bool InstallGermanQtTexts();

} // namespace kavelmark
