#include "app/qt/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QThread>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavelmark
{
namespace
{

constexpr char kActivate[] = "activate\n";

} // namespace

SingleInstance::SingleInstance(const QString& name, const QString& folder)
    : folder_(folder), lockPath_(folder + QLatin1Char('/') + name + QStringLiteral(".lock")),
      socketPath_(folder + QLatin1Char('/') + name + QStringLiteral(".socket")), lock_(lockPath_)
{
    // A lock whose holder died is taken over at once; a live holder never loses it.
    lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    if (server_)
    {
        server_->close();
    }
}

QString SingleInstance::DefaultFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && IsPrivateFolder(runtime))
    {
        return runtime;
    }
    // Made private from the start; one that someone else made first fails the check in Claim.
    const QString own = QDir::tempPath() + QStringLiteral("/kavelmark-%1").arg(::getuid());
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return own;
}

bool SingleInstance::IsPrivateFolder(const QString& path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

bool SingleInstance::PeerIsThisUser(int socketDescriptor)
{
#if defined(SO_PEERCRED)
    struct ucred peer = {};
    socklen_t length = sizeof peer;
    return ::getsockopt(socketDescriptor, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == ::getuid();
#else
    uid_t uid = 0;
    gid_t gid = 0;
    return ::getpeereid(socketDescriptor, &uid, &gid) == 0 && uid == ::getuid();
#endif
}

QString SingleInstance::DefaultName()
{
    return QStringLiteral("kavelmark-%1").arg(::getuid());
}

SingleInstance::Role SingleInstance::Claim(int waitMs)
{
    // Another user's lock would keep this program out, and their listener would get its
    // hand-over: without a folder of our own there is no instance to claim.
    if (!IsPrivateFolder(folder_))
    {
        return Role::Unguarded;
    }
    if (lock_.tryLock(0))
    {
        Listen();
        return Role::First;
    }
    if (lock_.error() != QLockFile::LockFailedError)
    {
        // No lock can be had here at all (an unwritable folder): better a program that runs
        // alone than none.
        return Role::First;
    }
    return HandOver(waitMs) ? Role::HandedOver : Role::Failed;
}

void SingleInstance::Listen()
{
    // Holding the lock proves that a socket left at the path belongs to a dead program.
    QLocalServer::removeServer(socketPath_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath_))
    {
        server_.reset();
        return; // the session runs all the same, only later programs cannot hand over
    }
    connect(server_.get(), &QLocalServer::newConnection, this,
            [this]
            {
                while (QLocalSocket* client = server_->nextPendingConnection())
                {
                    if (!PeerIsThisUser(static_cast<int>(client->socketDescriptor())))
                    {
                        client->abort();
                        client->deleteLater();
                        continue;
                    }
                    connect(client, &QLocalSocket::readyRead, this,
                            [this, client]
                            {
                                if (client->readAll().contains('\n'))
                                {
                                    // Queued: the answer may run a dialog, and the client
                                    // must not go away inside its own signal.
                                    QMetaObject::invokeMethod(
                                        this, [this] { emit ActivationRequested(); }, Qt::QueuedConnection);
                                }
                            });
                    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
                }
            });
}

bool SingleInstance::HandOver(int waitMs)
{
    // The holder may still be starting: it takes the lock before it listens.
    QDeadlineTimer deadline(waitMs);
    do
    {
        QLocalSocket socket;
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(100))
        {
            if (!PeerIsThisUser(static_cast<int>(socket.socketDescriptor())))
            {
                return false;
            }
            socket.write(kActivate);
            bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}

} // namespace kavelmark
