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
    if (target.empty())
    {
        return;
    }
    if (target != target_)
    {
        const QStringList watched = watcher_.files() + watcher_.directories();
        if (!watched.isEmpty())
        {
            watcher_.removePaths(watched);
        }
        target_ = target;
    }
    const QString folder = QString::fromStdString(FolderOf(target));
    const QString file = QString::fromStdString(target);
    if (!watcher_.directories().contains(folder))
    {
        watcher_.addPath(folder);
    }
    // A file replaced by a rename drops out of the watch, and one not there yet is seen by the
    // folder's watch until it is.
    if (!watcher_.files().contains(file) && QFileInfo::exists(file))
    {
        watcher_.addPath(file);
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
