// Every control that takes the focus is named for screen readers, and a field with a label is
// named as the label reads (without the access key's "&"), in every window of the program.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QMenu>

#include "ui/EveryWindow.h"

namespace kavelmark
{
namespace
{

// The text as a label shows it: "&" marks the access key, "&&" shows one "&".
QString Shown(const QString& text)
{
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i)
    {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
        {
            ++i;
        }
        shown += text[i];
    }
    return shown;
}

TEST(EveryControlNamedTest, ShownTextDropsTheAccessKeyMark)
{
    EXPECT_EQ(Shown(QStringLiteral("Suchen &nach:")), QStringLiteral("Suchen nach:"));
    EXPECT_EQ(Shown(QStringLiteral("Mit && ohne")), QStringLiteral("Mit & ohne"));
}

TEST(EveryControlNamedTest, EveryFocusableControlHasItsLabelsName)
{
    for (const testing::ShownWindow& row : testing::EveryWindow())
    {
        SCOPED_TRACE(row.name.toStdString());
        const bool shown = row.open(
            [](QWidget& window)
            {
                if (qobject_cast<QMenu*>(&window))
                {
                    return;
                }
                for (QWidget* widget : window.findChildren<QWidget*>())
                {
                    if (widget->window() != &window || !widget->isVisibleTo(&window) || !widget->isEnabled() ||
                        !(widget->focusPolicy() & Qt::TabFocus))
                    {
                        continue;
                    }
                    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
                    ASSERT_NE(accessible, nullptr);
                    const QString name = accessible->text(QAccessible::Name);
                    const QString what = QString::fromLatin1(widget->metaObject()->className()) + QLatin1Char(' ') +
                                         widget->objectName();
                    EXPECT_FALSE(name.isEmpty()) << what.toStdString() << " has no name";
                    const QLabel* label = nullptr;
                    for (const QLabel* candidate : window.findChildren<QLabel*>())
                    {
                        if (candidate->buddy() == widget)
                        {
                            label = candidate;
                        }
                    }
                    // On Linux Qt names a combo box by its current item and relates its label.
                    if (label && !qobject_cast<QComboBox*>(widget))
                    {
                        EXPECT_EQ(name, Shown(label->text())) << what.toStdString();
                    }
                }
            });
        EXPECT_TRUE(shown) << "the window never showed";
    }
}

} // namespace
} // namespace kavelmark
