#include "file/UnchangedFile.h"

#include <optional>

#include "file/FileIdentity.h"
#include "file/LinkedPath.h"
#include "file/StoredVersion.h"

namespace kavelmark
{

bool StillAsLastLoadedOrSaved(const std::string& path, FileFormat format)
{
    const std::string target = ResolvedFilePath(path);
    if (target.empty() || LeadsElsewhereSince(path, target))
    {
        return false;
    }
    const std::optional<FileIdentity> remembered = RememberedFileIdentity(target);
    FileIdentity now;
    if (!remembered || !remembered->exists || !remembered->hasDigest || ReplacedSince(*remembered, target, now) ||
        !now.exists)
    {
        return false;
    }
    // An older version read is converted by the next save, whatever else changed.
    const std::optional<FileVersion> version = StoredVersion(target);
    return version == (format == FileFormat::V04 ? FileVersion::V04 : FileVersion::V03);
}

} // namespace kavelmark
