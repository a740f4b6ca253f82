#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "crypto/CipherEngine.h"
#include "file/RetryingFile.h"
#include "platform/SecureString.h"

namespace kavelmark
{

// The ciphertext is read in slices of this size, small enough to be still in the cache when
// it is decrypted.
constexpr std::size_t kBodySliceSize = 128 * 1024;

// Reads a CBC body of length bytes (whole blocks) from source and hands its plaintext to
// consume, in order, a slice at a time. Each slice is decrypted in place while it is still in
// the cache, so that each byte is read from the file once and nothing holds the whole body; a
// large body is decrypted on CipherEngine::DecryptThreadsFor threads, the caller's among them,
// while the caller's thread goes on reading. The slices are wiped memory and are wiped again
// before they are let go. False when the source ends before length bytes, or consume returns
// false; nothing more is read then.
bool ReadDecryptedBody(ByteSource& source, std::uint64_t length, const CbcDecryptor& cipher,
                       const std::function<bool(std::string_view)>& consume);

} // namespace kavelmark
