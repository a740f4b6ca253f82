#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QStringList>
#include <memory>

#include "platform/qt/GermanQtTexts.h"

namespace kavelmark
{
namespace
{

QStringList ContextMenuTexts()
{
    QLineEdit edit(QStringLiteral("Text"));
    edit.selectAll();
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (QAction* action : menu->actions())
    {
        texts << action->text().section(QLatin1Char('\t'), 0, 0);
    }
    return texts;
}

TEST(GermanQtTextsTest, QtsOwnContextMenuSpeaksGerman)
{
    ASSERT_TRUE(ContextMenuTexts().contains(QStringLiteral("&Copy")));
    ASSERT_TRUE(InstallGermanQtTexts());
    QStringList texts = ContextMenuTexts();
    EXPECT_TRUE(texts.contains(QStringLiteral("&Kopieren"))) << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Alles auswählen"))) << texts.join(QLatin1Char('|')).toStdString();
}

} // namespace
} // namespace kavelmark
