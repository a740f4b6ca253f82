#pragma once

#include <optional>
#include <string_view>

#include "platform/SecureString.h"

namespace kavelmark
{

// Reads standard input with read(2), so that no stream buffer keeps a copy of the password
// or of the plaintext behind it; stops after the first line when asked to. More than a
// password file can hold is refused at once, before it takes up memory. False (and a line on
// standard error) when the input cannot be read or is refused.
bool ReadInput(SecureString& input, bool firstLineOnly);

// Cuts the first line off the input as the password, in cp1252, without its line end ("\n"
// or "\r\n"). Nothing (and a line on standard error) when cp1252 cannot store it.
std::optional<SecureString> TakePassword(SecureString& input);

// The password on the first line of standard input, read as ReadInput and TakePassword do.
// Nothing when the input could not be read (inputFailed then true) or cp1252 cannot store it.
std::optional<SecureString> ReadPasswordLine(bool& inputFailed);

// A password given as UTF-8 text, in cp1252. Nothing (and a line on standard error) when cp1252
// cannot store it.
std::optional<SecureString> PasswordFromUtf8(std::string_view utf8);

} // namespace kavelmark
