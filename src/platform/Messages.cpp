#include "platform/Messages.h"

#include <iostream>

#include "platform/TerminalText.h"

namespace kavelmark
{
namespace
{

class StandardErrorSink final : public MessageSink
{
public:
    MessageAnswer Show(const std::string& text, const std::string& caption, MessageIcon,
                       MessageButtons buttons) override
    {
        // What reaches this fallback is read on a terminal, and a path in a text came from outside.
        std::cerr << TerminalSafe(caption + ": " + text, true) << '\n';
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
    }
};

StandardErrorSink fallbackSink;
MessageSink* currentSink = &fallbackSink;

} // namespace

MessageSink* SetMessageSink(MessageSink* sink)
{
    MessageSink* previous = currentSink == &fallbackSink ? nullptr : currentSink;
    currentSink = sink ? sink : &fallbackSink;
    return previous;
}

MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon, MessageButtons buttons)
{
    return currentSink->Show(text, caption, icon, buttons);
}

} // namespace kavelmark
