#pragma once

#include <cstdint>

namespace kavelmark::settings
{

// A value of the settings with its place and its default. An integer value counts a stored 0
// as unset unless 0 is one of its choices.
struct IntSetting
{
    const char* section;
    const char* name;
    std::int32_t defaultValue;
    bool zeroIsAChoice = false;
};
struct TextSetting
{
    const char* section;
    const char* name;
    const char* defaultValue;
};

// Section and value names shared by every reader and writer.
inline constexpr const char* kConfig = "Config";
inline constexpr const char* kMainEntryFile = "MainEntryFile";
inline constexpr const char* kHideTimer = "HideTimer (mSec)";
inline constexpr const char* kClipboardClear = "ClipboardClear (Sec)";
inline constexpr const char* kLockOnHide = "LockOnHide";
inline constexpr const char* kLockAfter = "LockAfter (Sec)";
inline constexpr const char* kCipher = "Cipher";
inline constexpr const char* kBlockMode = "Block-Mode";

// The values of the configuration, read and written by these entries only.
inline constexpr TextSetting kMainEntryFileSetting{kConfig, kMainEntryFile, "default.Kavelmark"};
inline constexpr IntSetting kHideTimerSetting{kConfig, kHideTimer, 2000};
// Seconds until a copied secret leaves the clipboard; 0 keeps it there.
inline constexpr IntSetting kClipboardClearSetting{kConfig, kClipboardClear, 20, true};
// Whether hiding the main window locks the session (0/1), and the seconds without input
// after which it locks (0: never). Both off, so that nothing changes unless asked for.
inline constexpr IntSetting kLockOnHideSetting{kConfig, kLockOnHide, 0};
inline constexpr IntSetting kLockAfterSetting{kConfig, kLockAfter, 0};
inline constexpr IntSetting kCipherSetting{kConfig, kCipher, 0};
inline constexpr IntSetting kBlockModeSetting{kConfig, kBlockMode, 0};
// The format of new files and of converted old ones (0: V0.3, 1: the hardened V0.4), as the user
// last chose it for a file.
inline constexpr IntSetting kHardenedFormatSetting{kConfig, "HardenedFormat", 0};

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
