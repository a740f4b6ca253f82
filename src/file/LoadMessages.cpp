#include "file/LoadMessages.h"

#include <sys/stat.h>

#include "file/FileTexts.h"
#include "platform/Messages.h"

namespace kavelmark
{

void RefuseFile(const std::string& path, Refusal refusal)
{
    const char* text = kDamagedFileText;
    switch (refusal)
    {
    case Refusal::UnknownFormat:
        text = kUnknownFormatText;
        break;
    case Refusal::TooLarge:
        text = kTooLargeFileText;
        break;
    case Refusal::NotARegularFile:
        text = kNotARegularFileText;
        break;
    case Refusal::OlderVersion:
        text = kOlderVersionText;
        break;
    case Refusal::WrittenWhileRead:
        text = kWrittenWhileReadText;
        break;
    case Refusal::Damaged:
        break;
    }
    ShowMessage(text + path, kLoadErrorCaption, MessageIcon::Error);
}

bool RefuseIfNotRegularFile(const std::string& path)
{
    struct stat info = {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
    {
        RefuseFile(path, Refusal::NotARegularFile);
        return true;
    }
    return false;
}

Refusal RefusalOf(ReadResult read, FileVersion version)
{
    if (read == ReadResult::TooLarge)
    {
        return Refusal::TooLarge;
    }
    return read == ReadResult::Done && version == FileVersion::Unknown ? Refusal::UnknownFormat : Refusal::Damaged;
}

void ShowWrongPassword()
{
    ShowMessage(kWrongPasswordText, kWrongPasswordCaption, MessageIcon::Error);
}

} // namespace kavelmark
