#pragma once

namespace kavelmark::settings
{

// Section and value names shared by every reader and writer.
inline constexpr const char* kConfig = "Config";
inline constexpr const char* kMainEntryFile = "MainEntryFile";
inline constexpr const char* kDefaultMainEntryFile = "default.Kavelmark";
inline constexpr const char* kHideTimer = "HideTimer (mSec)";
inline constexpr int kDefaultHideTimer = 2000;
// Seconds until a copied secret leaves the clipboard; 0 keeps it there.
inline constexpr const char* kClipboardClear = "ClipboardClear (Sec)";
inline constexpr int kDefaultClipboardClear = 20;
inline constexpr const char* kCipher = "Cipher";
inline constexpr const char* kBlockMode = "Block-Mode";

inline constexpr const char* kSaveFileDialog = "SaveFileDialog";
inline constexpr const char* kPath = "Path";
inline constexpr const char* kFile = "File";
inline constexpr const char* kFilter = "Filter";

inline constexpr const char* kCompany = "Company";
inline constexpr const char* kHomePage = "home-page";
inline constexpr const char* kEMail = "e-mail";

inline constexpr const char* kOrganisation = "Brenkholt";

} // namespace kavelmark::settings
