#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

namespace kavelmark
{

// One program per user session: two programs on one password file would each save their
// own store over the other's. The first program claims the instance; a later one hands over
// to it (which comes to the front) and ends without touching the file.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    // `name` is per user; the lock and the socket live in `folder`, which must be the user's
    // own: a folder that others may write to could hold their lock or their listener.
    explicit SingleInstance(const QString& name, const QString& folder = DefaultFolder());
    ~SingleInstance() override;

    enum class Role
    {
        First,      // this program runs the session
        HandedOver, // another one runs it and was asked to come to the front
        Failed,     // neither: the other program does not answer in time
        Unguarded,  // the folder is not the user's own: this program runs, without hand-over
    };

    // Claims the instance or hands over to the program that holds it. Waits at most about
    // `waitMs` for a program that is still starting to listen.
    Role Claim(int waitMs = 3000);

    // $XDG_RUNTIME_DIR when it is the user's own, else a folder of the user's own in the
    // system's temporary folder, made on first use.
    static QString DefaultFolder();
    static QString DefaultName();

    // A folder of this user's alone: a real folder (not a link), owned by the user, with no
    // access for group or others.
    static bool IsPrivateFolder(const QString& path);
    // Whether the program at the other end of a local socket runs as this user.
    static bool PeerIsThisUser(int socketDescriptor);

signals:
    // A later program asked this one to come to the front.
    void ActivationRequested();

private:
    void Listen();
    bool HandOver(int waitMs);

    QString folder_;
    QString lockPath_;
    QString socketPath_;
    QLockFile lock_;
    std::unique_ptr<QLocalServer> server_;
};

} // namespace kavelmark
