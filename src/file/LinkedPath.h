#pragma once

// Where the name of the password file led when this process last loaded or saved through it.
// A sync engine carries symbolic links as links: one a peer puts in place of the file, or one
// turned to another file, must not steer a save to a file the user never opened.

#include <optional>
#include <string>

namespace kavelmark
{

// The path as named, its folder made absolute, the final symbolic link not followed.
std::string NamedFilePath(const std::string& path);

// Remembers the file that path leads to now (following its links) as the one it stands for.
void RememberWhereItLeads(const std::string& path);

// True when path was loaded or saved through before and leads to another file now than then
// (it became a link, or its link was turned); false when nothing was remembered.
bool LeadsElsewhereSince(const std::string& path, const std::string& target);

// Whether target lies outside the folder in which the name path stands.
bool LeadsOutOfItsFolder(const std::string& path, const std::string& target);

} // namespace kavelmark
