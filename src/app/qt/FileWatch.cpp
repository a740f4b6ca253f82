#include "app/qt/FileWatch.h"

#include <QFileInfo>

#include "file/FileIdentity.h"

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
    const std::string target = ResolvedFilePath(path_());
    const QString file = QString::fromStdString(target);
    const QString folder = QString::fromStdString(FolderOf(target));
    if (target.empty())
    {
        return;
    }
    // A file replaced by a rename drops out of the watch; the new one is added again.
    if (!watcher_.directories().contains(folder) || !watcher_.files().contains(file))
    {
        if (target_ != target)
        {
            const QStringList watched = watcher_.files() + watcher_.directories();
            if (!watched.isEmpty())
            {
                watcher_.removePaths(watched);
            }
        }
        watcher_.addPath(folder);
        // A file not there yet is seen by the folder's watch.
        if (QFileInfo::exists(file))
        {
            watcher_.addPath(file);
        }
    }
    target_ = target;
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
