#pragma once

#include <string>
#include <string_view>

namespace kavelmark
{

// A text fit for a terminal: every control character, C0 and DEL as "\xNN", C1 (U+0080 to
// U+009F) as "\u00NN", and every byte that is not part of valid UTF-8 as "\xNN", so that
// nothing read from a file or an input can steer the terminal that shows a message. Line
// breaks stay where the caller's own texts use them.
std::string TerminalSafe(std::string_view text, bool keepLineBreaks);

} // namespace kavelmark
