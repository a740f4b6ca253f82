#pragma once

#include <cstddef>
#include <cstdint>

#include "crypto/CipherEngine.h"
#include "file/RetryingFile.h"
#include "platform/SecureString.h"

namespace kavelmark
{

// The ciphertext is read in slices of this size, small enough to be still in the cache when
// it is decrypted.
constexpr std::size_t kBodySliceSize = 128 * 1024;

// Reads a CBC body of length bytes (whole blocks) from source and decrypts it into plain, which
// it sizes. The ciphertext passes through a few slices small enough to stay in the cache, so
// that each byte is read from the file once and written to memory once; a large body is
// decrypted by CipherEngine::DecryptThreadsFor threads while the caller's thread goes on
// reading. False when the source ends before length bytes.
bool ReadDecryptedBody(ByteSource& source, std::uint64_t length, const CbcDecryptor& cipher, SecureString& plain);

} // namespace kavelmark
