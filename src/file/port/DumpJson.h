#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

#include "store/PasswordStore.h"

namespace kavelmark
{

// Takes one chunk of output; false when it could not be written.
using OutputSink = std::function<bool(std::string_view chunk)>;

inline constexpr std::size_t kDumpChunkSize = 64 * 1024;

// The output of kavelmark-file dump: {"result":R,"version":"V0.3","records":["...",...]} and a
// line end, version null when there is none, each record converted from cp1252 to UTF-8 and
// escaped as nlohmann::json's dump() escapes ('"', '\\' and the characters below U+0020).
// Written in chunks of at most chunkSize bytes (6 at least) from a block of secret memory
// that is wiped after each chunk, so that no copy of the records is left behind. False when
// the sink refused a chunk; it is given nothing after that.
bool WriteDumpJson(int result, std::optional<std::string_view> version, const PasswordStore& store,
                   const OutputSink& sink, std::size_t chunkSize = kDumpChunkSize);

} // namespace kavelmark
