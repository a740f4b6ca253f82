#include "file/LoadMessages.h"

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
    case Refusal::Damaged:
        break;
    }
    ShowMessage(text + path, kLoadErrorCaption, MessageIcon::Error);
}

void ShowWrongPassword()
{
    ShowMessage(kWrongPasswordText, kWrongPasswordCaption, MessageIcon::Error);
}

} // namespace kavelmark
