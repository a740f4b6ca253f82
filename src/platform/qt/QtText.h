#pragma once

#include <QString>
#include <optional>
#include <string_view>

#include "platform/SecureString.h"

namespace kavelmark
{

// Record texts and passwords are code page 1252 bytes; the widgets speak QString.

QString FromCp1252(std::string_view bytes);

// The cp1252 bytes of a text, or nothing when it holds a character cp1252 cannot store.
// The bytes go straight into wiped memory, since the text may be a password.
std::optional<SecureString> ToCp1252(const QString& text);

// The German refusal shown when a typed text holds such a character.
QString Cp1252RefusalText();

} // namespace kavelmark
