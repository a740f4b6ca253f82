#include "platform/qt/GermanQtTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kavelmark
{

bool InstallGermanQtTexts()
{
    QLocale german(QLocale::German, QLocale::Germany);
    QLocale::setDefault(german);
    // Owned by the application, which outlives every window that shows a translated text.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(german, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace kavelmark
