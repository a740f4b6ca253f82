#pragma once

#include "platform/CommandIds.h"
#include "platform/qt/DialogTemplate.h"

namespace kavelmark
{

// The program's dialog templates and its menu bar, as data.

// One control of a template, written as a row of the template's table.
ControlTemplate Ctl(int id, ControlKind kind, const std::string& caption, int x, int y, int w, int h,
                    std::uint32_t style, std::vector<std::string> items = {});

// Main window: entry list, category filter, buttons and detail fields; menu 131.
const DialogTemplate& MainWindowTemplate(); // 102
const MenuBarTemplate& MainMenuTemplate();  // 131

// Entry edit dialog, "Eintrag Hinzufügen".
const DialogTemplate& EditEntryTemplate(); // 134

// Login and change-password dialog, "Kavelmark Login".
const DialogTemplate& LoginTemplate(); // 135

// Configuration dialog, "Config".
const DialogTemplate& ConfigTemplate(); // 137

// About box, "Info über Kavelmark".
const DialogTemplate& AboutTemplate(); // 100
const DialogTemplate& FindTemplate();
const DialogTemplate& GeneratorTemplate();

// Menu command ids of menu 131: the session's own command ids under the template names.
constexpr int ID_FILE_OPEN = command::kFileOpen;
constexpr int ID_FILE_SAVE = command::kFileSave;
constexpr int ID_FILE_SAVE_AS = command::kFileSaveAs;
constexpr int IDM_ABOUTBOX = command::kAbout;
constexpr int ID_APP_EXIT = command::kExit;
constexpr int ID_CHANGE_PASSWORD = command::kChangePassword;
constexpr int ID_CONFIG = command::kConfig;
constexpr int ID_LOCK = command::kLock;
constexpr int ID_FIND = command::kFind;
constexpr int ID_MERGE_COPIES = command::kMergeCopies;
constexpr int ID_HELP = command::kHelp;

} // namespace kavelmark
