#include <gtest/gtest.h>

#include <QFile>
#include <QLockFile>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>

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

} // namespace
} // namespace kavelmark
