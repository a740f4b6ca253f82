#pragma once

#include <optional>
#include <string>

#include "file/PasswordFile.h"

namespace kavelmark
{

// The version a password file names in its head, read without loading it (a load backs a file
// of an older version up). Only a regular file is opened, and without waiting, so that a FIFO
// cannot hang the caller. Nothing when the file cannot be read or its head is damaged.
std::optional<FileVersion> StoredVersion(const std::string& path);

} // namespace kavelmark
