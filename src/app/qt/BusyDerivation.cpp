#include "app/qt/BusyDerivation.h"

#include <QApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <system_error>
#include <thread>

#include "crypto/CipherEngine.h"
#include "crypto/KeyDerivation.h"

namespace kavelmark
{

bool RunBusy(const std::function<bool()>& work)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool result = false;
    QEventLoop loop;
    try
    {
        std::thread worker(
            [&]
            {
                result = work();
                // What the derivation left on this stack goes before the C library keeps it.
                CbcDecryptor::WipeThreadStack();
                QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
            });
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        worker.join();
    }
    catch (const std::system_error&)
    {
        result = work(); // no thread to be had: the window waits
    }
    QApplication::restoreOverrideCursor();
    return result;
}

ScopedBusyDerivation::ScopedBusyDerivation() : previous_(SetDerivationRunner(RunBusy))
{
}

ScopedBusyDerivation::~ScopedBusyDerivation()
{
    SetDerivationRunner(std::move(previous_));
}

} // namespace kavelmark
