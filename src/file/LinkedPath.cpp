#include "file/LinkedPath.h"

#include <cstdlib>
#include <map>
#include <memory>

#include "file/FileIdentity.h"

namespace kavelmark
{
namespace
{

std::map<std::string, std::string>& LedTo()
{
    static std::map<std::string, std::string> targets;
    return targets;
}

} // namespace

std::string NamedFilePath(const std::string& path)
{
    std::unique_ptr<char, decltype(&std::free)> folder(::realpath(FolderOf(path).c_str(), nullptr), &std::free);
    if (!folder)
    {
        return path;
    }
    const std::string resolved = folder.get();
    return (resolved == "/" ? "" : resolved) + "/" + NameOf(path);
}

void RememberWhereItLeads(const std::string& path)
{
    const std::string target = ResolvedFilePath(path);
    if (target.empty())
    {
        LedTo().erase(NamedFilePath(path));
        return;
    }
    LedTo()[NamedFilePath(path)] = target;
}

bool LeadsElsewhereSince(const std::string& path, const std::string& target)
{
    auto found = LedTo().find(NamedFilePath(path));
    return found != LedTo().end() && found->second != target;
}

bool LeadsOutOfItsFolder(const std::string& path, const std::string& target)
{
    return FolderOf(NamedFilePath(path)) != FolderOf(target);
}

} // namespace kavelmark
