#pragma once

#include <functional>
#include <string>

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

namespace kavelmark
{

// Tells when the folder of the password file changed: a sync engine replaces the file by
// renaming a new one over it, which only the folder shows, and drops conflict copies beside it.
// A burst of changes is told once, after it settled, and never while a dialog is open, so that a
// reload cannot pull the store away under an edit in progress.
class FileWatch : public QObject
{
    Q_OBJECT

public:
    static constexpr int kSettleMilliseconds = 400;

    // path names the password file at any time; changed runs on the event loop; busy tells
    // whether a dialog is open just now.
    FileWatch(std::function<std::string()> path, std::function<void()> changed, std::function<bool()> busy);

    // Watches the folder path names, and the file with its folder where a symbolic link leads,
    // as path names them now; cheap when nothing changed.
    void Follow();

private:
    void OnSettled();

    std::function<std::string()> path_;
    std::function<void()> changed_;
    std::function<bool()> busy_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
};

} // namespace kavelmark
