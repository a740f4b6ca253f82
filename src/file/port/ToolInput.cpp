#include "file/port/ToolInput.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <string>

#include "file/PasswordFile.h"
#include "file/port/ToolOutput.h"
#include "platform/Cp1252.h"

namespace kavelmark
{

bool ReadInput(SecureString& input, bool firstLineOnly)
{
    std::array<char, 4096> chunk{};
    const std::size_t size = firstLineOnly ? 1 : chunk.size();
    bool read = true;
    while (true)
    {
        const ssize_t count = ::read(STDIN_FILENO, chunk.data(), size);
        if (count < 0 && errno == EINTR)
        {
            continue;
        }
        if (count <= 0)
        {
            read = count == 0;
            break;
        }
        input.append(chunk.data(), static_cast<std::size_t>(count));
        if (firstLineOnly && chunk[0] == '\n')
        {
            break;
        }
        if (input.size() > PasswordFile::kMaxFileSize)
        {
            WipeBytes(chunk.data(), chunk.size());
            PrintToolLine("standard input holds more than 64 MB, more than a password file can take");
            return false;
        }
    }
    WipeBytes(chunk.data(), chunk.size());
    if (!read)
    {
        PrintToolLine("standard input cannot be read");
    }
    return read;
}

std::optional<SecureString> TakePassword(SecureString& input)
{
    std::size_t end = input.find('\n');
    const std::size_t next = end == SecureString::npos ? input.size() : end + 1;
    if (end == SecureString::npos)
    {
        end = input.size();
    }
    if (end > 0 && input[end - 1] == '\r')
    {
        --end;
    }
    std::optional<SecureString> password = PasswordFromUtf8(std::string_view(input).substr(0, end));
    WipeBytes(input.data(), next);
    input.erase(0, next);
    return password;
}

std::optional<SecureString> ReadPasswordLine(bool& inputFailed)
{
    SecureString input;
    inputFailed = !ReadInput(input, true);
    if (inputFailed)
    {
        return std::nullopt;
    }
    return TakePassword(input);
}

std::optional<SecureString> PasswordFromUtf8(std::string_view utf8)
{
    std::optional<std::string> bytes = Utf8ToCp1252(utf8);
    if (!bytes)
    {
        PrintToolLine("the password holds a character that cp1252 cannot store");
        return std::nullopt;
    }
    SecureString password = ToSecure(*bytes);
    WipeString(*bytes);
    return password;
}

} // namespace kavelmark
