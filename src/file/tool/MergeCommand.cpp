#include "file/tool/MergeCommand.h"

#include <optional>

#include "file/LoadSave.h"
#include "file/OtherFile.h"
#include "file/port/ToolInput.h"
#include "file/port/ToolOutput.h"
#include "merge/StoreMerge.h"

namespace kavelmark
{
namespace
{

constexpr int kExitFailed = 1;

int Refuse(const std::string& path)
{
    PrintToolLine(path + " is unchanged");
    return kExitFailed;
}

} // namespace

int MergeCommand(const std::string& path, const std::string& otherPath)
{
    SecureString input;
    if (!ReadInput(input, false))
    {
        return kExitFailed;
    }
    const std::optional<SecureString> password = TakePassword(input);
    const std::optional<SecureString> otherPassword = TakePassword(input);
    WipeString(input);
    if (!password || !otherPassword)
    {
        return kExitFailed;
    }

    PasswordStore ours;
    if (!LoadExistingForTool(ours, *password, path))
    {
        return kExitFailed;
    }
    PasswordStore theirs;
    OtherFileRead read;
    const LoadResult other =
        ReadOtherFile(otherPath, otherPassword->empty() ? *password : *otherPassword, theirs, read, true);
    if (other != LoadResult::Loaded)
    {
        if (other == LoadResult::Missing)
        {
            PrintToolLine(otherPath + ": no such file");
        }
        return Refuse(path);
    }
    // A copy has no common ancestor with the file that this process knows of.
    const MergeBase noBase;
    PasswordStore merged;
    const MergeCounts counts = MergeStores(noBase, ours, theirs, merged);
    if (Save(merged, *password) != SaveResult::Saved)
    {
        return Refuse(path);
    }
    const std::string summary = "merged: " + std::to_string(counts.fromOther) + " from " + otherPath + ", " +
                                std::to_string(counts.deletedThere) + " deleted there, " +
                                std::to_string(counts.twice) + " twice\n";
    return WriteStandardOutput(summary) ? 0 : kExitFailed;
}

} // namespace kavelmark
