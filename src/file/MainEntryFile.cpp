#include "file/MainEntryFile.h"

#include "file/FileError.h"
#include "file/FileTexts.h"
#include "platform/Messages.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"

namespace kavelmark
{

std::string MainEntryFile()
{
    return Settings::Get(settings::kMainEntryFileSetting);
}

void ShowFileError(int code)
{
    ShowMessage(FileErrorText(code), kFileErrorCaption, MessageIcon::Error);
}

} // namespace kavelmark
