#pragma once

#include <QSettings>
#include <QString>

#include "settings/SettingsBackend.h"

namespace kavelmark
{

// Settings kept by QSettings in the user's configuration: organisation "Brenkholt", one
// application per executable (on Linux ~/.config/Brenkholt/<name>.conf), one group per
// section. Every value is stored as text; integers come back as their decimal text.
class QtSettingsBackend final : public SettingsBackend
{
public:
    // An empty application name stands for the executable's base name.
    explicit QtSettingsBackend(const QString& application = QString());

    std::optional<std::string> Read(const std::string& section, const std::string& key) override;
    bool Write(const std::string& section, const std::string& key, const std::string& value) override;

    QString FileName() const;

    // The running executable's file name without its extension.
    static QString ExecutableBaseName();

private:
    QSettings settings_;
};

} // namespace kavelmark
