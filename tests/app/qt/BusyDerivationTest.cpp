#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/qt/BusyDerivation.h"
#include "crypto/KeyDerivation.h"

namespace kavelmark
{
namespace
{

// The derivation stands in for a slow one: it waits until the window has had its turn.
TEST(BusyDerivationTest, TheWindowKeepsRunningAndShowsABusyCursorWhileTheWorkRunsElsewhere)
{
    const std::thread::id gui = std::this_thread::get_id();
    std::atomic<bool> timerFired{false};
    Qt::CursorShape cursorDuring = Qt::ArrowCursor;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout,
                     [&]
                     {
                         cursorDuring =
                             QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
                         timerFired = true;
                     });
    timer.start(10);
    std::thread::id workedOn;
    const bool result = RunBusy(
        [&]
        {
            workedOn = std::this_thread::get_id();
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!timerFired && std::chrono::steady_clock::now() < deadline)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            return true;
        });
    EXPECT_TRUE(result);
    EXPECT_TRUE(timerFired) << "events were handled while the work ran";
    EXPECT_NE(workedOn, gui);
    EXPECT_EQ(cursorDuring, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the cursor is back";
    EXPECT_FALSE(RunBusy([] { return false; })) << "the work's result comes back";
}

TEST(BusyDerivationTest, EveryKeyDerivationRunsThroughItWhileTheGuardLives)
{
    const std::thread::id gui = std::this_thread::get_id();
    std::thread::id derivedOn;
    const unsigned char salt[16] = {};
    unsigned char out[32] = {};
    {
        ScopedBusyDerivation guard;
        SetDerivationRunner(
            [&, busy = SetDerivationRunner({})](const std::function<bool()>& work)
            {
                return busy(
                    [&]
                    {
                        derivedOn = std::this_thread::get_id();
                        return work();
                    });
            });
        EXPECT_TRUE(DeriveArgon2id({"pw", salt}, {64, 1, 1}, out));
        EXPECT_NE(derivedOn, gui);
    }
    derivedOn = {};
    EXPECT_TRUE(DeriveArgon2id({"pw", salt}, {64, 1, 1}, out));
    EXPECT_EQ(derivedOn, std::thread::id()) << "the guard put the default back";
}

} // namespace
} // namespace kavelmark
