// No two visible controls of a window answer the same access key (the letter after "&", as
// Qt reads it for Alt): in a menu its items, in the main window the menu bar's titles with
// the window's controls, in a dialog its buttons, check boxes, radio buttons, group titles and
// the labels that hand their key to a buddy.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <map>
#include <utility>
#include <vector>

#include "ui/EveryWindow.h"

namespace kavelmark
{
namespace
{

// The texts of a window that carry an access key.
QStringList KeyedTexts(QWidget& window)
{
    QStringList texts;
    auto addActions = [&texts](const QWidget& owner)
    {
        for (const QAction* action : owner.actions())
        {
            if (action->isVisible() && !action->isSeparator())
            {
                texts << action->text();
            }
        }
    };
    if (auto* menu = qobject_cast<QMenu*>(&window))
    {
        addActions(*menu);
        return texts;
    }
    for (QWidget* widget : window.findChildren<QWidget*>())
    {
        if (widget->window() != &window || !widget->isVisibleTo(&window))
        {
            continue;
        }
        if (auto* bar = qobject_cast<QMenuBar*>(widget))
        {
            addActions(*bar);
        }
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        {
            texts << button->text();
        }
        else if (auto* label = qobject_cast<QLabel*>(widget); label && label->buddy() && label->buddy()->isVisible())
        {
            texts << label->text();
        }
        else if (auto* box = qobject_cast<QGroupBox*>(widget))
        {
            texts << box->title();
        }
        else if (auto* tabs = qobject_cast<QTabBar*>(widget))
        {
            for (int i = 0; i < tabs->count(); ++i)
            {
                texts << tabs->tabText(i);
            }
        }
    }
    return texts;
}

// Pairs of texts that share a key.
std::vector<std::pair<QString, QString>> SharedKeys(const QStringList& texts)
{
    std::vector<std::pair<QString, QString>> shared;
    std::map<int, QString> owners;
    for (const QString& text : texts)
    {
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (key.isEmpty())
        {
            continue;
        }
        auto [owner, added] = owners.emplace(key[0].toCombined(), text);
        if (!added)
        {
            shared.emplace_back(owner->second, text);
        }
    }
    return shared;
}

TEST(UniqueAccessKeysTest, SharedKeysAreFound)
{
    // Case and umlauts as Qt reads them: "&s" and "&S" are one key, "&Ä" another than "&A".
    const auto shared = SharedKeys({QStringLiteral("&Sperren"), QStringLiteral("&Ändern"), QStringLiteral("&Abbruch"),
                                    QStringLiteral("Mit && ohne"), QStringLiteral("&suchen")});
    ASSERT_EQ(shared.size(), 1u);
    EXPECT_EQ(shared[0].first, QStringLiteral("&Sperren"));
    EXPECT_EQ(shared[0].second, QStringLiteral("&suchen"));
}

TEST(UniqueAccessKeysTest, NoWindowGivesOneKeyToTwoControls)
{
    for (const testing::ShownWindow& row : testing::EveryWindow())
    {
        SCOPED_TRACE(row.name.toStdString());
        QStringList texts;
        const bool shown = row.open([&texts](QWidget& window) { texts = KeyedTexts(window); });
        EXPECT_TRUE(shown) << "the window never showed";
        for (const auto& [first, second] : SharedKeys(texts))
        {
            ADD_FAILURE() << row.name.toStdString() << ": „" << first.toStdString() << "“ and „" << second.toStdString()
                          << "“ share the key " << QKeySequence::mnemonic(first).toString().toStdString();
        }
    }
}

} // namespace
} // namespace kavelmark
