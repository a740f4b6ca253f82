#pragma once

// What load and save share: where the file is and how its open failures are told.

#include <string>

namespace kavelmark
{

// The password file named by Config/MainEntryFile, read anew for each load and save.
std::string MainEntryFile();

// "Datei-Fehler" with the text of a file-error cause code.
void ShowFileError(int code);

} // namespace kavelmark
