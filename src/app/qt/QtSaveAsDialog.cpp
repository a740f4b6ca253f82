#include "app/qt/QtSaveAsDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QStringList>

namespace kavelmark
{

QString QtSaveAsDialog::ToNameFilters(const std::string& filter)
{
    QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty())
        {
            break; // the closing "|"
        }
        QString pattern = parts[i + 1];
        // "*.*" means every file where the filter form comes from; here it would hide
        // files without an extension.
        pattern.replace(QLatin1String("*.*"), QLatin1String("*"));
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(parts[i], pattern);
    }
    return filters.join(QLatin1String(";;"));
}

std::optional<std::string> QtSaveAsDialog::Run(const std::string& initialName, const std::string& filter)
{
    // The save-as form also picks files to open, so choosing an existing file needs no confirmation.
    QString chosen =
        QFileDialog::getSaveFileName(QApplication::activeWindow(), QString(), QString::fromStdString(initialName),
                                     ToNameFilters(filter), nullptr, QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty())
    {
        return std::nullopt;
    }
    return chosen.toStdString();
}

} // namespace kavelmark
