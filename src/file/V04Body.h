#pragma once

#include <optional>
#include <string_view>

#include "file/BodyRecords.h"
#include "file/PasswordFile.h"

namespace kavelmark
{

// Continues after the magic of a V0.4 file: checks the head's parameters before anything is
// derived, asks before a costly derivation (Declined), derives the keys, checks the header, then reads and decrypts the
// body, whose records gather in records. Done only once the tag proved the whole file; records must not be taken
// otherwise.
ReadResult ReadV04Body(ByteSource& file, std::string_view password, std::optional<BodyRecords>& records);

} // namespace kavelmark
