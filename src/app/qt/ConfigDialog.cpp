#include "app/qt/ConfigDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <filesystem>
#include <system_error>

#include "app/AppTexts.h"
#include "app/FileChooser.h"
#include "file/LoadSave.h"
#include "file/MainEntryFile.h"
#include "platform/Messages.h"
#include "platform/qt/DialogTemplates.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"

namespace kavelmark
{

ConfigDialog::ConfigDialog(QWidget* parent)
    : CDialogLayout(ConfigTemplate(), parent, "DlgPos_Config", false, LF_SAVE_POSITION | LF_SAVE_SIZE)
{
}

void ConfigDialog::DoDataExchange(DataExchange& dx)
{
    CDialogLayout::DoDataExchange(dx);
    dx.Text(Control(kFileNameId), fileName);
    dx.UInt(Control(kHideTimeId), hideTimeMs);
    dx.MinMaxUInt(hideTimeMs, 0, kMaxHideTimeMs);
    dx.ComboIndex(Control(kBlockModeListId), blockModeIndex);
    dx.ComboIndex(Control(kCipherListId), cipherIndex);
}

bool ConfigDialog::OnInitDialog()
{
    CDialogLayout::OnInitDialog();

    BeginOkCancelFrame();
    AddControl(kFileNameLabelId, LAYOUT_FIXED_HEIGHT);
    BeginPane(LAYOUT_HORIZONTAL);
    SetAlignment(ALIGN_CROSS_CENTER_Y);
    AddControl(kFileNameId, LAYOUT_FIXED_HEIGHT);
    AddControl(kBrowseId, LAYOUT_FIXED);
    EndPane();
    AddSpace(5, 3);
    AddControl(kHideTimeLabelId, LAYOUT_FIXED);
    AddControl(kHideTimeId, LAYOUT_FIXED_HEIGHT);
    AddSpace(5, 3);
    AddControl(kCipherLabelId, LAYOUT_FIXED_HEIGHT);
    AddControl(kCipherListId, LAYOUT_FIXED_HEIGHT);
    AddSpace(5, 3);
    AddControl(kBlockModeLabelId, LAYOUT_FIXED_HEIGHT);
    AddControl(kBlockModeListId, LAYOUT_FIXED_HEIGHT);
    AddSpace(5, 3);
    AddControl(kHardenedFormatId, LAYOUT_FIXED_HEIGHT);
    EndOkCancelFrame();

    fileName = MainEntryFile();
    // A negative stored delay shows as the unsigned number it becomes, which OK then refuses.
    hideTimeMs = static_cast<std::uint32_t>(Settings::Get(settings::kHideTimerSetting));
    cipherIndex = Settings::Get(settings::kCipherSetting);
    blockModeIndex = Settings::Get(settings::kBlockModeSetting);
    hardenedFormat = MainFileFormat() == FileFormat::V04;
    UpdateData(false);
    if (auto* format = ControlAs<QCheckBox>(kHardenedFormatId))
    {
        format->setChecked(hardenedFormat);
        connect(format, &QCheckBox::clicked, this, &ConfigDialog::OnFormatClicked);
    }
    ShowBlockModeOfFormat();

    if (auto* browse = ControlAs<QPushButton>(kBrowseId))
    {
        browse->setAccessibleName(QString::fromUtf8(kBrowseName));
        connect(browse, &QPushButton::clicked, this, &ConfigDialog::BrowseForFile);
    }
    return true;
}

void ConfigDialog::BrowseForFile()
{
    // A refused delay has shown its message; the file can be chosen all the same.
    UpdateData(true);

    std::error_code error;
    const std::filesystem::path previousDirectory = std::filesystem::current_path(error);
    std::string chosen = fileName;
    if (FileChooser::Choose(chosen, std::string(), true, false) == FileChooser::kConfirmed)
    {
        fileName = chosen;
    }
    // The file dialog may have moved the process elsewhere; relative names mean what they meant.
    if (!previousDirectory.empty())
    {
        std::filesystem::current_path(previousDirectory, error);
    }

    UpdateData(false);
}

void ConfigDialog::OnFormatClicked()
{
    auto* format = ControlAs<QCheckBox>(kHardenedFormatId);
    const bool wanted = format->isChecked();
    if (wanted == hardenedFormat)
    {
        return;
    }
    const MessageAnswer answer =
        ShowMessage(wanted ? kHardenFormatQuestion : kSoftenFormatQuestion, kFormatCaption, MessageIcon::Question,
                    wanted ? MessageButtons::UseV04OrKeep : MessageButtons::UseV03OrKeep);
    if (answer == MessageAnswer::Ok)
    {
        hardenedFormat = wanted;
    }
    else
    {
        format->setChecked(hardenedFormat);
    }
    ShowBlockModeOfFormat();
}

void ConfigDialog::ShowBlockModeOfFormat()
{
    if (auto* modes = ControlAs<QComboBox>(kBlockModeListId); modes && modes->count() > 0)
    {
        modes->setItemText(0, QString::fromUtf8(hardenedFormat ? kGcmModeText : kCbcModeText));
    }
}

void ConfigDialog::OnOK()
{
    if (!UpdateData(true))
    {
        return;
    }
    Settings::Set(settings::kMainEntryFileSetting, fileName);
    Settings::Set(settings::kHideTimerSetting, static_cast<std::int32_t>(hideTimeMs));
    // Written only while unset or 0: nothing else reads these choices.
    Settings::GetInt(settings::kConfig, settings::kCipher, cipherIndex, true);
    Settings::GetInt(settings::kConfig, settings::kBlockMode, blockModeIndex, true);
    const FileFormat format = hardenedFormat ? FileFormat::V04 : FileFormat::V03;
    if (format != MainFileFormat())
    {
        SetMainFileFormat(format);
        Settings::Set(settings::kHardenedFormatSetting, hardenedFormat ? 1 : 0);
    }
    CDialogLayout::OnOK();
}

} // namespace kavelmark
