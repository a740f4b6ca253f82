#include "settings/qt/QtSettingsBackend.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "settings/SettingsNames.h"

namespace kavelmark
{
namespace
{

QString Group(const std::string& section, const std::string& key)
{
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(key);
}

} // namespace

QtSettingsBackend::QtSettingsBackend(const QString& application)
    : settings_(QSettings::NativeFormat, QSettings::UserScope, QString::fromUtf8(settings::kOrganisation),
                application.isEmpty() ? ExecutableBaseName() : application)
{
}

QString QtSettingsBackend::ExecutableBaseName()
{
    QString path = QCoreApplication::instance() ? QCoreApplication::applicationFilePath()
                                                : QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return QFileInfo(path).completeBaseName();
}

QString QtSettingsBackend::FileName() const
{
    return settings_.fileName();
}

std::optional<std::string> QtSettingsBackend::Read(const std::string& section, const std::string& key)
{
    QVariant value = settings_.value(Group(section, key));
    if (!value.isValid())
    {
        return std::nullopt;
    }
    return value.toString().toStdString();
}

bool QtSettingsBackend::Write(const std::string& section, const std::string& key, const std::string& value)
{
    settings_.setValue(Group(section, key), QString::fromStdString(value));
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}

} // namespace kavelmark
