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

// Writes the text to standard output with write(2), so that no stream buffer keeps a copy of
// a secret in it. False (and a line on standard error) when it cannot be written whole.
bool WriteStandardOutput(std::string_view text);

// Load as the tool runs it. The program shows nothing for a file that ends before its own
// lengths say; the tool, which leaves no other trace, says so.
LoadResult LoadForTool(PasswordStore& store, const SecureString& password, const std::string& path);

// Load backs a file of an older version up, which a command that may still be refused should
// not do; the program itself converts such a file. True (after a line saying so) for such a file.
bool RefuseOlderVersion(const std::string& path);
// The load of a command that needs an existing file of the current versions: false, after a line
// saying why, for an older version, a missing file or a failed load.
bool LoadExistingForTool(PasswordStore& store, const SecureString& password, const std::string& path);

} // namespace kavelmark
