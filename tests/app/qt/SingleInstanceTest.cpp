#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include <QFile>
#include <QLockFile>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/qt/SingleInstance.h"

namespace kavelmark
{
namespace
{

class SingleInstanceTest : public ::testing::Test
{
protected:
    QTemporaryDir folder;
    const QString name = QStringLiteral("kavelmark-test");

    QString PathOf(const char* suffix) const
    {
        return folder.path() + QLatin1Char('/') + name + QLatin1String(suffix);
    }
};

TEST_F(SingleInstanceTest, ASecondProgramHandsOverAndTheFirstIsAskedToComeToTheFront)
{
    SingleInstance first(name, folder.path());
    ASSERT_EQ(first.Claim(), SingleInstance::Role::First);
    QSignalSpy activations(&first, &SingleInstance::ActivationRequested);

    SingleInstance second(name, folder.path());
    EXPECT_EQ(second.Claim(), SingleInstance::Role::HandedOver);
    EXPECT_TRUE(activations.wait(2000));
    EXPECT_EQ(activations.count(), 1);
}

TEST_F(SingleInstanceTest, WhatADeadProgramLeftBehindDoesNotKeepTheNextOneOut)
{
    // The lock and the socket of a program that crashed: its process is gone.
    pid_t dead = ::fork();
    if (dead == 0)
    {
        ::_exit(0);
    }
    ::waitpid(dead, nullptr, 0);
    QFile lock(PathOf(".lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(dead) + "\nkavelmark\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    QFile socket(PathOf(".socket"));
    ASSERT_TRUE(socket.open(QIODevice::WriteOnly));
    socket.close();

    SingleInstance next(name, folder.path());
    ASSERT_EQ(next.Claim(), SingleInstance::Role::First);
    QSignalSpy activations(&next, &SingleInstance::ActivationRequested);
    SingleInstance later(name, folder.path());
    EXPECT_EQ(later.Claim(), SingleInstance::Role::HandedOver);
    EXPECT_TRUE(activations.wait(2000));
}

TEST_F(SingleInstanceTest, AHolderThatNeverAnswersIsNotTakenForAbsent)
{
    // A live program holds the lock but does not listen (it hangs, say): starting a second
    // session beside it would be the very overwrite the lock prevents.
    QLockFile held(PathOf(".lock"));
    ASSERT_TRUE(held.tryLock(0));

    SingleInstance second(name, folder.path());
    EXPECT_EQ(second.Claim(300), SingleInstance::Role::Failed);
}

TEST_F(SingleInstanceTest, AFolderThatIsNotTheUsersOwnIsNeverUsed)
{
    // Each would let another user plant a lock that keeps the program out, or a listener that
    // gets its hand-over.
    const QString base = folder.path();
    const QString open = base + QStringLiteral("/open");
    ASSERT_EQ(::mkdir(QFile::encodeName(open).constData(), 0700), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0777), 0);
    const QString groupReadable = base + QStringLiteral("/group");
    ASSERT_EQ(::mkdir(QFile::encodeName(groupReadable).constData(), 0700), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(groupReadable).constData(), 0750), 0);
    const QString own = base + QStringLiteral("/own");
    ASSERT_EQ(::mkdir(QFile::encodeName(own).constData(), 0700), 0);
    const QString link = base + QStringLiteral("/link");
    ASSERT_EQ(::symlink(QFile::encodeName(own).constData(), QFile::encodeName(link).constData()), 0);
    std::vector<QString> refused = {open, groupReadable, link, base + QStringLiteral("/missing")};
    if (::getuid() == 0)
    {
        const QString foreign = base + QStringLiteral("/foreign");
        ASSERT_EQ(::mkdir(QFile::encodeName(foreign).constData(), 0700), 0);
        ASSERT_EQ(::chown(QFile::encodeName(foreign).constData(), 65534, 65534), 0);
        refused.push_back(foreign);
    }
    for (const QString& path : refused)
    {
        SingleInstance instance(name, path);
        EXPECT_EQ(instance.Claim(300), SingleInstance::Role::Unguarded) << path.toStdString();
        EXPECT_FALSE(QFile::exists(path + QLatin1Char('/') + name + QStringLiteral(".lock"))) << path.toStdString();
    }
    SingleInstance instance(name, own);
    EXPECT_EQ(instance.Claim(), SingleInstance::Role::First);
    EXPECT_TRUE(QFile::exists(own + QLatin1Char('/') + name + QStringLiteral(".socket")));
}

TEST_F(SingleInstanceTest, TheRuntimeFolderIsTakenOnlyWhenItIsTheUsersOwn)
{
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    const bool wasSet = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    const QString open = folder.path() + QStringLiteral("/open");
    ASSERT_EQ(::mkdir(QFile::encodeName(open).constData(), 0700), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 01777), 0);

    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.path()));
    EXPECT_EQ(SingleInstance::DefaultFolder(), folder.path());
    for (const char* value : {"", "open"})
    {
        if (*value == '\0')
        {
            qunsetenv("XDG_RUNTIME_DIR");
        }
        else
        {
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(open));
        }
        const QString chosen = SingleInstance::DefaultFolder();
        EXPECT_NE(chosen, open);
        EXPECT_TRUE(SingleInstance::IsPrivateFolder(chosen)) << chosen.toStdString();
    }
    if (wasSet)
    {
        qputenv("XDG_RUNTIME_DIR", saved);
    }
    else
    {
        qunsetenv("XDG_RUNTIME_DIR");
    }
}

TEST_F(SingleInstanceTest, OnlyAPeerOfTheSameUserIsTalkedTo)
{
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    EXPECT_TRUE(SingleInstance::PeerIsThisUser(pair[0]));
    ::close(pair[0]);
    ::close(pair[1]);
    if (::getuid() != 0)
    {
        GTEST_SKIP() << "a peer of another user takes root to make";
    }
    // A listener here, and a client that runs as nobody: what the first program sees when
    // another user connects to it.
    const QString open = folder.path() + QStringLiteral("/open");
    ASSERT_EQ(::mkdir(QFile::encodeName(open).constData(), 0700), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0755), 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray socketPath = QFile::encodeName(open + QStringLiteral("/s"));
    ASSERT_LT(static_cast<std::size_t>(socketPath.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, socketPath.constData(), static_cast<std::size_t>(socketPath.size()));
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::chmod(socketPath.constData(), 0777), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    const pid_t child = ::fork();
    if (child == 0)
    {
        const int client = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool ok = ::setgid(65534) == 0 && ::setuid(65534) == 0 &&
                        ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        char byte = 0;
        ::_exit(ok && ::read(client, &byte, 1) >= 0 ? 0 : 1);
    }
    const int accepted = ::accept(listener, nullptr, nullptr);
    ASSERT_GE(accepted, 0);
    EXPECT_FALSE(SingleInstance::PeerIsThisUser(accepted));
    ::close(accepted);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ::close(listener);
}

} // namespace
} // namespace kavelmark
