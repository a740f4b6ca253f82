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
    // `name` is per user; the lock and the socket live in `folder`, the user's own runtime
    // folder by default.
    explicit SingleInstance(const QString& name, const QString& folder = DefaultFolder());
    ~SingleInstance() override;

    enum class Role
    {
        First,      // this program runs the session
        HandedOver, // another one runs it and was asked to come to the front
        Failed,     // neither: the other program does not answer in time
    };

    // Claims the instance or hands over to the program that holds it. Waits at most about
    // `waitMs` for a program that is still starting to listen.
    Role Claim(int waitMs = 3000);

    static QString DefaultFolder();
    static QString DefaultName();

signals:
    // A later program asked this one to come to the front.
    void ActivationRequested();

private:
    bool Listen();
    bool HandOver(int waitMs);

    QString lockPath_;
    QString socketPath_;
    QLockFile lock_;
    std::unique_ptr<QLocalServer> server_;
};

} // namespace kavelmark
