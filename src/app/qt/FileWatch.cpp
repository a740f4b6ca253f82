#include "app/qt/FileWatch.h"

#include <QFileInfo>

#include "file/FileIdentity.h"
#include "file/LinkedPath.h"

namespace kavelmark
{

FileWatch::FileWatch(std::function<std::string()> path, std::function<void()> changed, std::function<bool()> busy)
    : path_(std::move(path)), changed_(std::move(changed)), busy_(std::move(busy))
{
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMilliseconds);
    connect(&settle_, &QTimer::timeout, this, &FileWatch::OnSettled);
    auto restart = [this] { settle_.start(); };
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, restart);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, restart);
}

void FileWatch::Follow()
{
    // The folder the name stands in is watched even while the name is a link: a peer may put the
    // file back there, and only that folder would tell.
    const std::string named = NamedFilePath(path_());
    QStringList wanted{QString::fromStdString(FolderOf(named))};
    const std::string target = ResolvedFilePath(named);
    if (!target.empty())
    {
        const QString folder = QString::fromStdString(FolderOf(target));
        const QString file = QString::fromStdString(target);
        if (!wanted.contains(folder))
        {
            wanted << folder;
        }
        // A file replaced by a rename drops out of the watch, and one not there yet is seen by
        // the folder's watch until it is.
        if (QFileInfo::exists(file))
        {
            wanted << file;
        }
    }
    QStringList stale;
    for (const QString& watched : watcher_.files() + watcher_.directories())
    {
        if (!wanted.contains(watched))
        {
            stale << watched;
        }
    }
    if (!stale.isEmpty())
    {
        watcher_.removePaths(stale);
    }
    for (const QString& path : wanted)
    {
        if (!watcher_.files().contains(path) && !watcher_.directories().contains(path))
        {
            watcher_.addPath(path);
        }
    }
}

void FileWatch::OnSettled()
{
    if (busy_())
    {
        settle_.start();
        return;
    }
    changed_();
    Follow();
}

} // namespace kavelmark
