#pragma once

namespace kavelmark::command
{

// Command identifiers of the main window's menu and buttons.
inline constexpr int kAbout = 16;
inline constexpr int kChangePassword = 32771;
inline constexpr int kConfig = 32772;
inline constexpr int kLock = 32773;
inline constexpr int kFind = 32774;
inline constexpr int kMergeCopies = 32775;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kExit = 57665;
inline constexpr int kHelp = 57670;

} // namespace kavelmark::command
