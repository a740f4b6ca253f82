#include "ui/DesktopOpener.h"

#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <memory>

namespace kavelmark
{

bool OpenWithDesktopHandler(const QUrl& url, std::function<void()> failedLater)
{
    const QString handler = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (handler.isEmpty())
    {
        return false;
    }
    // No parent: a handler that becomes the browser must outlive this program, and a QProcess
    // destroyed while its process runs would end it.
    auto* process = new QProcess;
    process->setProgram(handler);
    process->setArguments({url.toString(QUrl::FullyEncoded)});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    auto failed = std::make_shared<std::function<void()>>(std::move(failedLater));
    QObject::connect(process, &QProcess::finished, process,
                     [process, failed](int exitCode, QProcess::ExitStatus status)
                     {
                         if (status != QProcess::NormalExit || exitCode != 0)
                         {
                             (*failed)();
                         }
                         process->deleteLater();
                     });
    process->start();
    if (!process->waitForStarted())
    {
        delete process;
        return false;
    }
    return true;
}

} // namespace kavelmark
