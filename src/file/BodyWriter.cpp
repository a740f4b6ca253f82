#include "file/BodyWriter.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "crypto/CipherEngine.h"
#include "file/LittleEndian.h"
#include "file/PasswordFile.h"

namespace kavelmark
{

BodyWriter::BodyWriter(ByteSink& sink, Encrypt encrypt) : sink_(sink), encrypt_(std::move(encrypt))
{
    piece_.resize(kPieceSize);
}

void BodyWriter::Append(std::string_view bytes)
{
    while (!bytes.empty())
    {
        const std::size_t taken = std::min(kPieceSize - used_, bytes.size());
        std::memcpy(piece_.data() + used_, bytes.data(), taken);
        used_ += taken;
        bytes.remove_prefix(taken);
        if (used_ == kPieceSize)
        {
            Flush();
        }
    }
}

bool BodyWriter::AppendStore(const PasswordStore& store, const std::tm& saveTime)
{
    const std::size_t count = store.GetCount();
    Append(PasswordFile::FormatTimestamp(saveTime, PasswordFile::kBodyPattern));
    std::string length;
    AppendU32(length, static_cast<std::uint32_t>(count));
    Append(length);
    std::size_t walked = 0;
    auto position = store.GetHeadPosition();
    for (; position && walked < count; position = store.GetNextPosition(position), ++walked)
    {
        const SecureString& text = store.GetAt(position);
        length.clear();
        AppendU32(length, static_cast<std::uint32_t>(text.size()));
        Append(length);
        Append(text);
    }
    return walked == count && !position;
}

int BodyWriter::Finish(bool pad)
{
    if (pad)
    {
        const std::size_t padded = CipherEngine::PaddedLength(used_);
        std::memset(piece_.data() + used_, 0, padded - used_);
        used_ = padded;
    }
    Flush();
    return error_;
}

void BodyWriter::Flush()
{
    if (error_ == 0)
    {
        encrypt_(reinterpret_cast<unsigned char*>(piece_.data()), used_);
        error_ = sink_.Write(piece_.data(), used_);
    }
    used_ = 0;
}

} // namespace kavelmark
