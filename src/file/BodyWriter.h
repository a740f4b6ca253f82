#pragma once

#include <cstddef>
#include <ctime>
#include <functional>
#include <string_view>

#include "file/RetryingFile.h"
#include "platform/SecureString.h"
#include "store/PasswordStore.h"

namespace kavelmark
{

// Encrypts the body as it is made and hands it on in pieces, so that neither the whole
// plaintext nor the whole ciphertext is ever held, and each piece is written while it is still
// in the cache.
class BodyWriter
{
public:
    // Encrypts a piece in place; every piece but the last is whole cipher blocks.
    using Encrypt = std::function<void(unsigned char* bytes, std::size_t length)>;

    BodyWriter(ByteSink& sink, Encrypt encrypt);

    void Append(std::string_view bytes);

    // Writes the body of the store: the save time in the body pattern, the record count, then
    // each record as its length and text. Walks exactly as many elements as the store counts;
    // false when the list ends early or goes on past the count (what was walked is written).
    bool AppendStore(const PasswordStore& store, const std::tm& saveTime);

    // Writes the rest, padded with zero bytes to whole blocks (one to sixteen bytes) when asked.
    // 0 or the cause code of the first failed write; after a failure nothing more is written.
    int Finish(bool pad);

private:
    // A multiple of the block size, so that a full piece is whole blocks.
    static constexpr std::size_t kPieceSize = 64 * 1024;

    void Flush();

    ByteSink& sink_;
    Encrypt encrypt_;
    SecureString piece_;
    std::size_t used_ = 0;
    int error_ = 0;
};

} // namespace kavelmark
