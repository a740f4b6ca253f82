// Every text of every window shows whole: each label, button, check box, radio button, group
// title and list item is measured in its widget's own font against the room its widget gives
// it on screen (its contents less the style's indicator and margins, and never beyond the
// window's edge). Set KAVELMARK_WINDOW_SHOTS to a folder to get a picture of each window.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <algorithm>
#include <functional>

#include "layout/qt/CGroupStatic.h"
#include "ui/EveryWindow.h"

namespace kavelmark
{
namespace
{

class CutTexts
{
public:
    explicit CutTexts(QWidget& window) : window_(window)
    {
    }

    // Whether `needed` fits into `room` (in the widget's coordinates) as far as the window
    // shows the widget.
    void Expect(const QWidget& widget, const QString& text, QSize needed, const QRect& room)
    {
        const QRect onScreen = QRect(widget.mapTo(&window_, room.topLeft()), room.size()) & window_.rect();
        if (needed.width() > onScreen.width() || needed.height() > onScreen.height())
        {
            found << QStringLiteral("%1 %2 „%3“ needs %4×%5 px, shows %6×%7")
                         .arg(QString::fromLatin1(widget.metaObject()->className()), widget.objectName(), text)
                         .arg(needed.width())
                         .arg(needed.height())
                         .arg(std::max(onScreen.width(), 0))
                         .arg(std::max(onScreen.height(), 0));
        }
    }

    void Label(const QLabel& label)
    {
        const QString text = label.text();
        if (text.isEmpty() || label.textFormat() == Qt::RichText)
        {
            return;
        }
        const int margin = label.margin();
        const QRect room = label.contentsRect().adjusted(margin, margin, -margin, -margin);
        // A label shows its "&" as a mark only while it has a buddy to give the key to.
        int flags = static_cast<int>(label.alignment());
        if (label.buddy() && text.contains(QLatin1Char('&')))
        {
            flags |= Qt::TextShowMnemonic;
        }
        if (label.wordWrap())
        {
            flags |= Qt::TextWordWrap;
        }
        QSize needed = QFontMetrics(label.font()).boundingRect(room, flags, text).size();
        if (label.wordWrap())
        {
            // The lines the label breaks its text into at its width.
            needed.setHeight(std::max(needed.height(), label.heightForWidth(label.width()) - 2 * margin));
        }
        Expect(label, text, needed, room);
    }

    void Button(const QAbstractButton& button)
    {
        if (button.text().isEmpty())
        {
            return;
        }
        QStyleOptionButton option;
        option.initFrom(&button);
        option.text = button.text();
        option.icon = button.icon();
        option.iconSize = button.iconSize();
        QStyle::SubElement contents = QStyle::SE_PushButtonContents;
        if (qobject_cast<const QCheckBox*>(&button))
        {
            contents = QStyle::SE_CheckBoxContents;
        }
        else if (qobject_cast<const QRadioButton*>(&button))
        {
            contents = QStyle::SE_RadioButtonContents;
        }
        else if (const auto* push = qobject_cast<const QPushButton*>(&button))
        {
            option.features |= push->isDefault() ? QStyleOptionButton::DefaultButton : QStyleOptionButton::None;
            option.features |= push->autoDefault() ? QStyleOptionButton::AutoDefaultButton : QStyleOptionButton::None;
        }
        const QRect room = button.style()->subElementRect(contents, &option, &button);
        Expect(button, button.text(), QFontMetrics(button.font()).size(Qt::TextShowMnemonic, button.text()), room);
    }

    void GroupBox(const QGroupBox& box)
    {
        QStyleOptionGroupBox option;
        option.initFrom(&box);
        option.text = box.title();
        option.subControls = QStyle::SC_GroupBoxLabel;
        const QRect label = box.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &box);
        Expect(box, box.title(), QFontMetrics(box.font()).size(Qt::TextShowMnemonic, box.title()),
               QRect(label.left(), label.top(), box.width() - label.left(), label.height()));
    }

    // The caption stands in the frame's top line, a font height in from the left, with a
    // blank and a pixel either side.
    void GroupFrame(const CGroupStatic& frame)
    {
        if (frame.Buddy() || frame.Caption().trimmed().isEmpty())
        {
            return;
        }
        const QFontMetrics metrics(frame.font());
        const int indent = QFontInfo(frame.font()).pixelSize();
        const QString shown = QLatin1Char(' ') + frame.Caption() + QLatin1Char(' ');
        Expect(frame, frame.Caption(), QSize(metrics.horizontalAdvance(shown) + 2, metrics.height()),
               QRect(indent, 0, frame.width() - indent, frame.height()));
    }

    // Every item as it shows in the closed box's field, the style's pixel either side.
    void Combo(const QComboBox& combo)
    {
        QStyleOptionComboBox option;
        option.initFrom(&combo);
        option.editable = combo.isEditable();
        option.frame = combo.hasFrame();
        const QRect field =
            combo.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &combo);
        const QFontMetrics metrics(combo.font());
        for (int i = 0; i < combo.count(); ++i)
        {
            const QString text = combo.itemText(i);
            Expect(combo, text, QSize(metrics.horizontalAdvance(text) + 2, metrics.height()), field);
        }
    }

    QStringList found;

private:
    QWidget& window_;
};

QStringList CutTextsIn(QWidget& window)
{
    CutTexts cut(window);
    for (QWidget* widget : window.findChildren<QWidget*>())
    {
        if (widget->window() != &window || !widget->isVisibleTo(&window))
        {
            continue;
        }
        if (auto* label = qobject_cast<QLabel*>(widget))
        {
            cut.Label(*label);
        }
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        {
            cut.Button(*button);
        }
        else if (auto* box = qobject_cast<QGroupBox*>(widget))
        {
            cut.GroupBox(*box);
        }
        else if (auto* frame = qobject_cast<CGroupStatic*>(widget))
        {
            cut.GroupFrame(*frame);
        }
        else if (auto* combo = qobject_cast<QComboBox*>(widget))
        {
            cut.Combo(*combo);
        }
    }
    return cut.found;
}

// The measure itself, against Qt's own size hints: at its hint a widget shows its text whole,
// at half the width (or a line short, or half outside the window) it does not.
TEST(EveryTextShowsWholeTest, AWidgetSmallerThanItsSizeHintCutsItsText)
{
    auto label = [](QWidget& window)
    {
        auto* widget = new QLabel(QStringLiteral("Ausblenzeit (mSec):"), &window);
        widget->resize(widget->sizeHint());
        return widget;
    };
    auto wrapped = [](QWidget& window)
    {
        auto* widget =
            new QLabel(QStringLiteral("Bitte geben Sie Ihr Kennwort zur Bestätigung noch einmal ein."), &window);
        widget->setWordWrap(true);
        widget->resize(150, widget->heightForWidth(150));
        return widget;
    };
    auto combo = [](QWidget& window)
    {
        auto* widget = new QComboBox(&window);
        widget->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        widget->addItem(QStringLiteral("CBC - Cipher Block Chaining"));
        widget->resize(widget->sizeHint());
        return widget;
    };
    auto hinted = [](QWidget* widget)
    {
        widget->resize(widget->sizeHint());
        return widget;
    };
    const std::function<QWidget*(QWidget&)> cases[] = {
        label,
        wrapped,
        combo,
        [&](QWidget& window) { return hinted(new QPushButton(QStringLiteral("&Weitersuchen"), &window)); },
        [&](QWidget& window)
        { return hinted(new QCheckBox(QStringLiteral("&Gehärtetes Dateiformat (V0.4)"), &window)); },
        [&](QWidget& window) { return hinted(new QRadioButton(QStringLiteral("&Sonderzeichen (!#$%...)"), &window)); },
    };
    for (const auto& make : cases)
    {
        QWidget window;
        window.resize(600, 200);
        QWidget* widget = make(window);
        widget->move(10, 10);
        window.show();
        SCOPED_TRACE(widget->metaObject()->className());
        EXPECT_EQ(CutTextsIn(window), QStringList());
        const QSize whole = widget->size();
        widget->resize(whole.width() / 2, whole.height());
        EXPECT_EQ(CutTextsIn(window).size(), 1);
        widget->resize(whole);
        widget->move(window.width() - whole.width() / 2, 10);
        EXPECT_EQ(CutTextsIn(window).size(), 1) << "half outside the window";
    }
    // A line short of what the wrapped text needs.
    QWidget window;
    window.resize(600, 200);
    QLabel* prompt = wrapped(window);
    window.show();
    prompt->resize(prompt->width(), prompt->height() - QFontMetrics(prompt->font()).lineSpacing());
    EXPECT_EQ(CutTextsIn(window).size(), 1);
}

TEST(EveryTextShowsWholeTest, NoWindowCutsAText)
{
    const QString shots = qEnvironmentVariable("KAVELMARK_WINDOW_SHOTS");
    for (const testing::ShownWindow& row : testing::EveryWindow())
    {
        SCOPED_TRACE(row.name.toStdString());
        QStringList cut;
        const bool shown = row.open(
            [&](QWidget& window)
            {
                cut = CutTextsIn(window);
                if (!shots.isEmpty())
                {
                    QString file = row.name;
                    file.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9äöüÄÖÜß]+")), QStringLiteral("-"));
                    window.grab().save(QDir(shots).filePath(file + QStringLiteral(".png")));
                }
            });
        EXPECT_TRUE(shown) << "the window never showed";
        for (const QString& text : cut)
        {
            ADD_FAILURE() << row.name.toStdString() << ": " << text.toStdString();
        }
    }
}

} // namespace
} // namespace kavelmark
