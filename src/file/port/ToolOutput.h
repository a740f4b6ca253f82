#pragma once

#include <string>
#include <string_view>

#include "file/LoadSave.h"
#include "platform/SecureString.h"
#include "store/PasswordStore.h"

namespace kavelmark
{

// Writes "kavelmark-file: " and the text as one line of standard error. Names of entries,
// cells of a CSV and paths go into these lines, so their control characters are escaped.
void PrintToolLine(std::string_view text);

// Load as the tool runs it. The program shows nothing for a file that ends before its own
// lengths say; the tool, which leaves no other trace, says so.
LoadResult LoadForTool(PasswordStore& store, const SecureString& password, const std::string& path);

} // namespace kavelmark
