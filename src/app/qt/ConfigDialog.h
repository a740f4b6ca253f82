#pragma once

#include <cstdint>
#include <string>

#include "layout/qt/CDialogLayout.h"
#include "platform/ControlIds.h"

namespace kavelmark
{

// "Config": the password file's name, the delay after which revealed secret fields are
// masked again, and a cipher and a block mode. Reads the settings when it opens and writes
// them on OK; Cancel and Escape write nothing. Choosing another file here only changes the
// setting: the next reload and every save use it.
class ConfigDialog final : public CDialogLayout
{
    Q_OBJECT

public:
    static constexpr int kFileNameLabelId = control::config::kFileNameLabel;
    static constexpr int kFileNameId = control::config::kFileName;
    static constexpr int kBrowseId = control::config::kBrowse;
    static constexpr int kHideTimeLabelId = control::config::kHideTimeLabel;
    static constexpr int kHideTimeId = control::config::kHideTime;
    static constexpr int kCipherLabelId = control::config::kCipherLabel;
    static constexpr int kCipherListId = control::config::kCipherList;
    static constexpr int kBlockModeLabelId = control::config::kBlockModeLabel;
    static constexpr int kBlockModeListId = control::config::kBlockModeList;
    static constexpr int kHardenedFormatId = control::config::kHardenedFormat;
    static constexpr std::uint32_t kMaxHideTimeMs = 360000;

    explicit ConfigDialog(QWidget* parent = nullptr);

    // The controls' values (UTF-8; -1: nothing selected).
    std::string fileName;
    std::uint32_t hideTimeMs = 0;
    int blockModeIndex = -1;
    int cipherIndex = -1;
    // The open file's format: checked for V0.4. OK makes the next save write the one shown.
    bool hardenedFormat = false;

    // "?": picks the file in the save-as dialog; the process's current directory is the
    // same afterwards, wherever the user went in the dialog.
    void BrowseForFile();

    // The check box was clicked: asks once whether the format is to change, and puts the box
    // back when the user cancels.
    void OnFormatClicked();
    void ShowBlockModeOfFormat();

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
    void OnOK() override;
};

} // namespace kavelmark
