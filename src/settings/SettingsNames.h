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
// Whether hiding the main window locks the session (0/1), and the seconds without input
// after which it locks (0: never). Both off, so that nothing changes unless asked for.
inline constexpr const char* kLockOnHide = "LockOnHide";
inline constexpr int kDefaultLockOnHide = 0;
inline constexpr const char* kLockAfter = "LockAfter (Sec)";
inline constexpr int kDefaultLockAfter = 0;
inline constexpr const char* kCipher = "Cipher";
inline constexpr const char* kBlockMode = "Block-Mode";

inline constexpr const char* kSaveFileDialog = "SaveFileDialog";
inline constexpr const char* kPath = "Path";
inline constexpr const char* kFile = "File";
inline constexpr const char* kFilter = "Filter";

inline constexpr const char* kCompany = "Company";
inline constexpr const char* kHomePage = "home-page";
inline constexpr const char* kEMail = "e-mail";
// The maker's addresses: written there at every start, shown by the About box.
inline constexpr const char* kMakerHomePage = "https://kavelmark.brenkholt.example/";
inline constexpr const char* kMakerEMail = "kavelmark@brenkholt.example";

inline constexpr const char* kOrganisation = "Brenkholt";

} // namespace kavelmark::settings
