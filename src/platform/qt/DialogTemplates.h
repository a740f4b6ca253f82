#pragma once

#include "platform/qt/DialogTemplate.h"

namespace kavelmark
{

// The program's dialog templates and its menu bar, as data.

// Main window: entry list, category filter, buttons and detail fields; menu 131.
const DialogTemplate& MainWindowTemplate(); // 102
const MenuBarTemplate& MainMenuTemplate();  // 131

// Entry edit dialog, "Eintrag Hinzufügen".
const DialogTemplate& EditEntryTemplate(); // 134

// Login and change-password dialog, "Kavelmark Login".
const DialogTemplate& LoginTemplate(); // 135

// Configuration dialog, "Config".
const DialogTemplate& ConfigTemplate(); // 137

// Menu command ids of menu 131.
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_FILE_SAVE_AS = 57604;
constexpr int IDM_ABOUTBOX = 16;
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_CHANGE_PASSWORD = 32771;
constexpr int ID_CONFIG = 32772;
constexpr int ID_HELP = 57670;

} // namespace kavelmark
