#include "file/port/ToolOutput.h"

#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <optional>

#include "crypto/CipherEngine.h"
#include "file/LoadSave.h"
#include "file/StoredVersion.h"
#include "platform/TerminalText.h"

namespace kavelmark
{

void PrintToolLine(std::string_view text)
{
    std::cerr << "kavelmark-file: " << TerminalSafe(text, false) << '\n';
}

bool WriteStandardOutput(std::string_view text)
{
    while (!text.empty())
    {
        const ssize_t count = ::write(STDOUT_FILENO, text.data(), text.size());
        if (count < 0 && errno == EINTR)
        {
            continue;
        }
        if (count <= 0)
        {
            PrintToolLine("standard output cannot be written");
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

LoadResult LoadForTool(PasswordStore& store, const SecureString& password, const std::string& path)
{
    const LoadResult result = Load(store, password, ComputeLegacySeed(password));
    // A wrong password leaves the store empty and has said so; a short read keeps what it read.
    if (result == LoadResult::Refused && store.GetCount() != 0)
    {
        // Too short to name its version, it was never a password file: nothing of it was read.
        const std::optional<FileVersion> version = StoredVersion(path);
        PrintToolLine(version && *version != FileVersion::Unknown
                          ? path + " ends before its own lengths say: it is damaged or cut short, and only the "
                                   "records before its end could be read"
                          : path + " is not a password file: it is too short to be one");
    }
    return result;
}

bool RefuseOlderVersion(const std::string& path)
{
    const std::optional<FileVersion> version = StoredVersion(path);
    if (version != FileVersion::V01 && version != FileVersion::V02)
    {
        return false;
    }
    PrintToolLine(path + " is a file of an older format version; open it once in kavelmark, which converts it");
    return true;
}

bool LoadExistingForTool(PasswordStore& store, const SecureString& password, const std::string& path)
{
    if (RefuseOlderVersion(path))
    {
        return false;
    }
    const LoadResult loaded = LoadForTool(store, password, path);
    if (loaded == LoadResult::Missing)
    {
        PrintToolLine(path + " does not exist");
    }
    return loaded == LoadResult::Loaded;
}

} // namespace kavelmark
