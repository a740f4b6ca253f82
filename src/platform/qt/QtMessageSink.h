#pragma once

#include "platform/Messages.h"

namespace kavelmark
{

// Shows the program's messages as modal message boxes owned by the active window.
class QtMessageSink final : public MessageSink
{
public:
    MessageAnswer Show(const std::string& text, const std::string& caption, MessageIcon icon,
                       MessageButtons buttons) override;
};

} // namespace kavelmark
