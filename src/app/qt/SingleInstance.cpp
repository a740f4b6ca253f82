#include "app/qt/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace kavelmark
{
namespace
{

constexpr char kActivate[] = "activate\n";

} // namespace

SingleInstance::SingleInstance(const QString& name, const QString& folder)
    : lockPath_(folder + QLatin1Char('/') + name + QStringLiteral(".lock")),
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
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

QString SingleInstance::DefaultName()
{
    return QStringLiteral("kavelmark-%1").arg(::getuid());
}

SingleInstance::Role SingleInstance::Claim(int waitMs)
{
    if (lock_.tryLock(0))
    {
        return Listen() ? Role::First : Role::Failed;
    }
    if (lock_.error() != QLockFile::LockFailedError)
    {
        // No lock can be had here at all (an unwritable folder): better a program that runs
        // alone than none.
        return Role::First;
    }
    return HandOver(waitMs) ? Role::HandedOver : Role::Failed;
}

bool SingleInstance::Listen()
{
    // Holding the lock proves that a socket left at the path belongs to a dead program.
    QLocalServer::removeServer(socketPath_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath_))
    {
        server_.reset();
        return true; // the session runs all the same, only later programs cannot hand over
    }
    connect(server_.get(), &QLocalServer::newConnection, this,
            [this]
            {
                while (QLocalSocket* client = server_->nextPendingConnection())
                {
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
    return true;
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
