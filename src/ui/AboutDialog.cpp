#include "ui/AboutDialog.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QStringList>
#include <QtGlobal>
#include <crypto++/cryptlib.h>

#include "platform/DebianCopyright.h"
#include "platform/qt/DialogTemplates.h"
#include "settings/SettingsNames.h"
#include "ui/CryptoCopyright.h"

namespace kavelmark
{
namespace
{

// Set by the program's link; constant-initialised, so a static initialiser may set them.
const char* linkedDate = nullptr;
const char* linkedTime = nullptr;

QString WithCrLf(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : CDialogLayout(AboutTemplate(), parent, "DlgAbout_Config", false, LF_SAVE_POSITION | LF_SAVE_SIZE),
      buildLine((BuildLine(linkedDate ? linkedDate : __DATE__, linkedTime ? linkedTime : __TIME__) +
                 QStringLiteral(", Qt ") + QString::fromLatin1(qVersion()))
                    .toStdString()),
      layoutNotice(LayoutNotice()), cryptoNotice(CryptoNotice())
{
}

QString AboutDialog::BuildLine(const char* date, const char* time)
{
    // "Dec  1 2026": the blank that pads the day goes.
    const QStringList parts = QString::fromLatin1(date).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return QStringLiteral("Build: %1, %2").arg(parts.join(QLatin1Char(' ')), QString::fromLatin1(time));
}

void AboutDialog::SetBuildTime(const char* date, const char* time)
{
    linkedDate = date;
    linkedTime = time;
}

QString AboutDialog::CryptoVersionText(int version)
{
    return QStringLiteral("%1.%2.%3").arg(version / 100).arg(version / 10 % 10).arg(version % 10);
}

std::string AboutDialog::CryptoNotice(const QString& docFolder)
{
    const int version = CryptoPP::LibraryVersion();
    const QString heading = QStringLiteral("Crypto++ Library %1\n\n").arg(CryptoVersionText(version));

    // The runtime package of this major version first, then any other Crypto++ package.
    QStringList folders = QDir(docFolder).entryList({QStringLiteral("libcrypto++*")}, QDir::Dirs, QDir::Name);
    const QString runtimePackage = QStringLiteral("libcrypto++%1").arg(version / 100);
    if (folders.removeAll(runtimePackage) > 0)
    {
        folders.prepend(runtimePackage);
    }
    for (const QString& folder : folders)
    {
        QFile copyright(QDir(docFolder).filePath(folder + QStringLiteral("/copyright")));
        if (!copyright.open(QIODevice::ReadOnly))
        {
            continue;
        }
        if (const auto parsed = ParseDebianCopyright(copyright.readAll().toStdString()))
        {
            if (const std::string notice = LicenceNotice(*parsed); !notice.empty())
            {
                return WithCrLf(heading + QString::fromStdString(notice)).toStdString();
            }
        }
    }
    const auto builtIn = ParseDebianCopyright(BuiltInCryptoCopyright());
    return WithCrLf(heading + QString::fromStdString(builtIn ? LicenceNotice(*builtIn) : std::string())).toStdString();
}

std::string AboutDialog::LayoutNotice()
{
    return "Panelgrid Layout-Bibliothek\r\n"
           "Copyright (C) 2002 Brenkholt\r\n"
           "\r\n"
           "Die Benutzung der Routinen erfolgt auf eigene Gefahr. Für Fehler jeglicher Art wird keine "
           "Haftung übernommen.\r\n"
           "Das Copyright der Routinen liegt bei Brenkholt.\r\n"
           "Programme, die diese Routinen verwenden, müssen dies in ihrem About-Dialog und in ihrem "
           "Handbuch erwähnen. Ansonsten ist die Bibliothek Freeware.\r\n"
           "Über ein Exemplar des fertigen Programms würden wir uns sehr freuen.";
}

void AboutDialog::DoDataExchange(DataExchange& dx)
{
    CDialogLayout::DoDataExchange(dx);
    // Binding takes the three static texts over as links (once for each run's controls).
    cryptoLink_.Attach(ControlAs<QLabel>(kCryptoLinkId));
    layoutLink_.Attach(ControlAs<QLabel>(kLayoutLinkId));
    makerLink_.Attach(ControlAs<QLabel>(kMakerLinkId));
    dx.Text(Control(kBuildLineId), buildLine);
    dx.Text(Control(kLayoutNoticeId), layoutNotice);
    dx.Text(Control(kCryptoNoticeId), cryptoNotice);
}

bool AboutDialog::OnInitDialog()
{
    CDialogLayout::OnInitDialog();
    if (auto* icon = ControlAs<QLabel>(kIconId))
    {
        icon->setPixmap(windowIcon().pixmap(32, 32));
    }

    makerLink_.SetUrl(QString::fromLatin1(settings::kMakerHomePage), QString::fromLatin1(kMakerToolTip));
    layoutLink_.SetUrl(QString::fromLatin1(kLayoutUrl), QString::fromLatin1(kLayoutToolTip));
    cryptoLink_.SetUrl(QString::fromLatin1(kCryptoUrl), QString::fromLatin1(kCryptoToolTip));

    BeginPane(LAYOUT_VERTICAL);
    AddSpace(5, 3);

    BeginPane(LAYOUT_HORIZONTAL);
    AddSpace(5, 3);
    AddControl(kIconId, LAYOUT_FIXED);
    AddSpace(5, 3);
    BeginPane(LAYOUT_VERTICAL);
    AddControl(kVersionId, LAYOUT_FIXED_HEIGHT);
    AddSpace(5, 3);
    AddControl(kBuildLineId, LAYOUT_FIXED_HEIGHT);
    AddSpace(10, 3);
    AddControl(kCopyrightId, LAYOUT_FIXED_HEIGHT);
    AddSpace(5, 3);
    AddControl(kMakerId, LAYOUT_FIXED_HEIGHT);
    AddSpace(5, 3);
    AddControl(kMailId, LAYOUT_FIXED_HEIGHT);
    AddSpace(5, 3);
    AddControl(kMakerLinkId, LAYOUT_FIXED_HEIGHT);
    EndPane();
    AddSpace(5, 3);
    AddControl(IDOK, LAYOUT_FIXED);
    AddSpace(5, 3);
    EndPane();

    AddSpace(15, 3);
    AddGroup(kLayoutGroupId, LAYOUT_VERTICAL, 0, GROUP_BOX, 0);
    AddControl(kLayoutNoticeId, LAYOUT_STRETCH);
    AddSpace(5, 3);
    AddControl(kLayoutLinkId, LAYOUT_FIXED_HEIGHT);
    EndPane();

    AddSpace(15, 3);
    AddGroup(kCryptoGroupId, LAYOUT_VERTICAL, 0, GROUP_BOX, 0);
    AddControl(kCryptoNoticeId, LAYOUT_STRETCH);
    AddSpace(5, 3);
    AddControl(kCryptoLinkId, LAYOUT_FIXED_HEIGHT);
    EndPane();

    AddSpace(5, 3);
    EndPane();

    if (QWidget* ok = Control(IDOK))
    {
        ok->setFocus();
    }
    return true;
}

} // namespace kavelmark
