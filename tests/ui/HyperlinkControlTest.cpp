#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>
#include <QWidget>
#include <ostream>
#include <vector>

#include "support/MessageRecorder.h"
#include "support/QtPrinters.h"
#include "ui/HyperlinkControl.h"

namespace kavelmark
{
namespace
{

using testing::MessageRecorder;

const QColor kLinkColour(0, 0, 238);
const QColor kVisitedColour(85, 26, 139);

// Answers every open with the next scripted result and records the addresses.
class ScriptedOpener
{
public:
    ScriptedOpener()
    {
        previous_ = HyperlinkControl::SetOpener(
            [this](const QString& url)
            {
                opened.push_back(url);
                const int result = results.empty() ? 0 : results.front();
                if (!results.empty())
                {
                    results.erase(results.begin());
                }
                return result;
            });
    }
    ~ScriptedOpener()
    {
        HyperlinkControl::SetOpener(previous_);
    }
    ScriptedOpener(const ScriptedOpener&) = delete;
    ScriptedOpener& operator=(const ScriptedOpener&) = delete;

    std::vector<int> results;
    std::vector<QString> opened;

private:
    HyperlinkControl::Opener previous_;
};

class HyperlinkControlTest : public ::testing::Test
{
protected:
    HyperlinkControlTest()
    {
        parent.resize(400, 200);
        label = new QLabel(QStringLiteral("WWW: www.example.org"), &parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(10, 20, 300, 30);
    }

    void MouseLeaves()
    {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(label, &leave);
    }

    QColor Colour() const
    {
        return label->palette().color(QPalette::WindowText);
    }

    QWidget parent;
    QLabel* label;
    MessageRecorder messages;
    ScriptedOpener opener;
};

TEST_F(HyperlinkControlTest, LooksLikeALinkAndShowsTheToolTipTextNotItsOwn)
{
    HyperlinkControl link;
    link.Attach(label);
    link.SetUrl(QStringLiteral("https://www.example.org/kavelmark"), QStringLiteral("Link auf meine Web-Side"));

    EXPECT_EQ(label->text(), "WWW: www.example.org") << "the label keeps its own text";
    EXPECT_EQ(label->toolTip(), "Link auf meine Web-Side");
    EXPECT_TRUE(label->font().underline());
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(Colour(), kLinkColour);

    // The pointer over it shows the hover colour, and the link colour comes back when it leaves.
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(label, &enter);
    EXPECT_EQ(Colour(), QApplication::palette().color(QPalette::Highlight));
    MouseLeaves();
    EXPECT_EQ(Colour(), kLinkColour);

    // Without a tool-tip text the address itself is the tip.
    link.SetUrl(QStringLiteral("https://www.example.org/other"));
    EXPECT_EQ(label->toolTip(), "https://www.example.org/other");
}

TEST_F(HyperlinkControlTest, AttachedWithoutAddressTheLabelTextIsTheTarget)
{
    HyperlinkControl link;
    link.Attach(label);
    EXPECT_EQ(link.Url(), "WWW: www.example.org");
    EXPECT_EQ(label->toolTip(), "WWW: www.example.org");
}

TEST_F(HyperlinkControlTest, ClickOpensTheTargetAndMarksItVisited)
{
    parent.show();
    HyperlinkControl link;
    link.Attach(label);
    link.SetUrl(QStringLiteral("https://www.example.org/kavelmark"), QStringLiteral("Tipp"));
    opener.results = {HyperlinkControl::kOpened + 1};

    QTest::mouseClick(label, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));

    EXPECT_EQ(opener.opened, std::vector<QString>{"https://www.example.org/kavelmark"});
    EXPECT_TRUE(link.Visited());
    MouseLeaves();
    EXPECT_EQ(Colour(), kVisitedColour);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(HyperlinkControlTest, FailedOpenTellsWhyAndNoLongerShowsTheLinkVisited)
{
    struct Case
    {
        int code;
        const char* line;
    };
    const Case cases[] = {
        {0, "The operating system is out\nof memory or resources."},
        {31, "There is no application associated\nwith the given filename extension."},
        {26, "A sharing violation occurred. "},
        {7, "Unknown Error (7) occurred."},
    };
    parent.show();
    HyperlinkControl link;
    link.Attach(label);
    link.SetUrl(QStringLiteral("https://www.example.org/kavelmark"));
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.code);
        messages.messages.clear();
        opener.results = {HyperlinkControl::kOpened + 1, c.code};
        link.OnClicked();
        ASSERT_TRUE(link.Visited());

        QTest::mouseClick(label, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));

        EXPECT_FALSE(link.Visited());
        MouseLeaves();
        EXPECT_EQ(Colour(), kLinkColour);
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, std::string("Unable to open hyperlink:\n\n") + c.line);
        EXPECT_EQ(messages.messages[0].icon, MessageIcon::Exclamation);
        // The program's name, whatever the executable is called (here the test's).
        EXPECT_EQ(messages.messages[0].caption, "Kavelmark");
        link.SetVisited(false);
    }
}

TEST_F(HyperlinkControlTest, DesktopWithoutUrlHandlerReportsTheLineOfCodeZero)
{
    // The offscreen platform has no desktop services: the real opener is refused.
    HyperlinkControl::SetOpener(nullptr);
    HyperlinkControl link;
    link.Attach(label);
    link.SetUrl(QStringLiteral("https://www.example.org/kavelmark"));
    link.OnClicked();
    EXPECT_FALSE(link.Visited());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text,
              "Unable to open hyperlink:\n\nThe operating system is out\nof memory or resources.");
}

TEST_F(HyperlinkControlTest, FittingKeepsALeftCentredOrRightAlignedTextWhereItWas)
{
    struct Case
    {
        Qt::Alignment alignment;
        const char* name;
    };
    const Case cases[] = {
        {Qt::AlignLeft | Qt::AlignTop, "left"},
        {Qt::AlignHCenter | Qt::AlignTop, "centre"},
        {Qt::AlignRight | Qt::AlignTop, "right"},
        {Qt::AlignHCenter | Qt::AlignVCenter, "centre, both ways"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto* text = new QLabel(QStringLiteral("WWW: www.example.org"), &parent);
        text->setAlignment(c.alignment);
        text->setGeometry(10, 20, 301, 40); // left 10, centre 160.5, right edge 311; middle row 40
        HyperlinkControl link;
        link.Attach(text);

        QFont underlined = text->font();
        underlined.setUnderline(true);
        const QFontMetrics metrics(underlined);
        const int width = metrics.horizontalAdvance(QStringLiteral("WWW: www.example.org "));
        const int height = metrics.height();
        ASSERT_LT(width, 300);
        const QRect r = text->geometry();
        if (c.alignment & Qt::AlignHCenter)
        {
            EXPECT_EQ(r.left() + r.right() + 1, 10 + 311) << "the same centre";
            EXPECT_NEAR(r.width(), width, 1);
        }
        else if (c.alignment & Qt::AlignRight)
        {
            EXPECT_EQ(r.left() + r.width(), 311);
            EXPECT_EQ(r.width(), width);
        }
        else
        {
            EXPECT_EQ(r.left(), 10);
            EXPECT_EQ(r.width(), width);
        }
        if (c.alignment & Qt::AlignVCenter)
        {
            // Two pixels taller than the text, below the same middle.
            EXPECT_EQ(r.top(), 20 + (40 - height) / 2);
        }
        else
        {
            EXPECT_EQ(r.top(), 20);
            EXPECT_EQ(r.height(), height + 2);
        }
        delete text;
    }
}

} // namespace
} // namespace kavelmark
