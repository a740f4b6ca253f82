#include "ui/HelpPage.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUrl>

#include "platform/Messages.h"
#include "ui/UiTexts.h"

namespace kavelmark
{
namespace
{

constexpr const char* kHelpResource = ":/kavelmark/help/kavelmark-hilfe.html";

} // namespace

void OpenHelpPage(const std::function<bool(const QUrl&)>& urlOpener)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QString target = QDir(folder).filePath(QStringLiteral("kavelmark-hilfe.html"));
    QFile source(QString::fromLatin1(kHelpResource));
    QFile copy(target);
    bool written = QDir().mkpath(folder) && source.open(QIODevice::ReadOnly) &&
                   copy.open(QIODevice::WriteOnly | QIODevice::Truncate) && copy.write(source.readAll()) >= 0;
    copy.close();
    if (!written || !urlOpener(QUrl::fromLocalFile(target)))
    {
        ShowHelpPageFailed(QUrl::fromLocalFile(target));
    }
}

void ShowHelpPageFailed(const QUrl& page)
{
    ShowMessage(kHelpFailedText + page.toLocalFile().toStdString(), kHelpCaption, MessageIcon::Information);
}

} // namespace kavelmark
