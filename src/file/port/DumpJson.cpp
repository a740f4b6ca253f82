#include "file/port/DumpJson.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/Cp1252.h"
#include "platform/SecureMemory.h"

namespace kavelmark
{
namespace
{

// The longest form one byte of a record takes: "\u00XX".
constexpr std::size_t kLongestForm = 6;

class ChunkWriter
{
public:
    ChunkWriter(const OutputSink& sink, std::size_t size)
        : sink_(sink), size_(std::max(size, kLongestForm)), data_(static_cast<char*>(AllocateSecure(size_)))
    {
    }
    ~ChunkWriter()
    {
        ReleaseSecure(data_, size_);
    }
    ChunkWriter(const ChunkWriter&) = delete;
    ChunkWriter& operator=(const ChunkWriter&) = delete;

    bool Ok() const
    {
        return ok_;
    }

    // JSON syntax and numbers, which need no escaping.
    void Plain(std::string_view text)
    {
        for (const char c : text)
        {
            MakeRoom(1);
            data_[used_++] = c;
        }
    }

    // A cp1252 text as a JSON string in UTF-8.
    void Text(std::string_view cp1252)
    {
        const std::array<Utf8OfByte, 256>& utf8Of = Cp1252Utf8Table();
        Plain("\"");
        for (const char c : cp1252)
        {
            MakeRoom(kLongestForm);
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte == '"' || byte == '\\')
            {
                Escape(byte);
                continue;
            }
            // All three bytes are copied, since there is room; only the used ones count.
            const Utf8OfByte& utf8 = utf8Of[byte];
            std::memcpy(data_ + used_, utf8.bytes.data(), utf8.bytes.size());
            used_ += utf8.size;
        }
        Plain("\"");
    }

    bool Finish()
    {
        Flush();
        return ok_;
    }

private:
    void MakeRoom(std::size_t bytes)
    {
        if (size_ - used_ < bytes)
        {
            Flush();
        }
    }

    void Flush()
    {
        if (ok_ && used_ > 0)
        {
            ok_ = sink_(std::string_view(data_, used_));
        }
        WipeBytes(data_, used_);
        used_ = 0;
    }

    void Escape(unsigned char byte)
    {
        char* out = data_ + used_;
        out[0] = '\\';
        char named = 0;
        switch (byte)
        {
        case '"':
            named = '"';
            break;
        case '\\':
            named = '\\';
            break;
        case '\b':
            named = 'b';
            break;
        case '\f':
            named = 'f';
            break;
        case '\n':
            named = 'n';
            break;
        case '\r':
            named = 'r';
            break;
        case '\t':
            named = 't';
            break;
        default:
            break;
        }
        if (named != 0)
        {
            out[1] = named;
            used_ += 2;
            return;
        }
        constexpr std::string_view kHex = "0123456789abcdef";
        out[1] = 'u';
        out[2] = '0';
        out[3] = '0';
        out[4] = kHex[byte >> 4];
        out[5] = kHex[byte & 0x0F];
        used_ += kLongestForm;
    }

    const OutputSink& sink_;
    const std::size_t size_;
    char* const data_;
    std::size_t used_ = 0;
    bool ok_ = true;
};

} // namespace

bool WriteDumpJson(int result, std::optional<std::string_view> version, const PasswordStore& store,
                   const OutputSink& sink, std::size_t chunkSize)
{
    ChunkWriter out(sink, chunkSize);
    out.Plain("{\"result\":");
    out.Plain(std::to_string(result));
    out.Plain(",\"version\":");
    if (version)
    {
        out.Text(*version);
    }
    else
    {
        out.Plain("null");
    }
    out.Plain(",\"records\":[");
    bool first = true;
    for (auto position = store.GetHeadPosition(); position && out.Ok(); position = store.GetNextPosition(position))
    {
        if (!first)
        {
            out.Plain(",");
        }
        first = false;
        out.Text(store.GetAt(position));
    }
    out.Plain("]}\n");
    return out.Finish();
}

} // namespace kavelmark
