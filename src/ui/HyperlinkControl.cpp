#include "ui/HyperlinkControl.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QUrl>
#include <utility>

#include "platform/Messages.h"
#include "ui/LinkAccessibility.h"

namespace kavelmark
{
namespace
{

// The desktop's URL handler (xdg-open or the portal) starts the browser as a program of
// its own; a refusal means that no handler took the address.
int OpenWithDesktop(const QString& url)
{
    return QDesktopServices::openUrl(QUrl(url)) ? HyperlinkControl::kOpened + 1 : HyperlinkControl::kNoHandler;
}

HyperlinkControl::Opener& CurrentOpener()
{
    static HyperlinkControl::Opener opener = OpenWithDesktop;
    return opener;
}

} // namespace

HyperlinkControl::Opener HyperlinkControl::SetOpener(Opener opener)
{
    Opener previous = std::exchange(CurrentOpener(), opener ? std::move(opener) : Opener(OpenWithDesktop));
    return previous;
}

QString HyperlinkControl::OpenErrorLine(int code)
{
    switch (code)
    {
    case 0:
        return QStringLiteral("The operating system is out\nof memory or resources.");
    case 2:
        return QStringLiteral("The specified file was not found.");
    case 3:
        return QStringLiteral("The specified path was not found.");
    case 5:
        return QStringLiteral("The operating system denied\naccess to the specified file.");
    case 8:
        return QStringLiteral("There was not enough memory to complete the operation.");
    case 11:
        return QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    case 26:
        return QStringLiteral("A sharing violation occurred. ");
    case 27:
        return QStringLiteral("The filename association is\nincomplete or invalid.");
    case 28:
        return QStringLiteral("The DDE transaction could not\nbe completed because the request timed out.");
    case 29:
        return QStringLiteral("The DDE transaction failed.");
    case 30:
        return QStringLiteral("The DDE transaction could not\nbe completed because other DDE transactions\nwere being "
                              "processed.");
    case 31:
        return QStringLiteral("There is no application associated\nwith the given filename extension.");
    case 32:
        return QStringLiteral("The specified dynamic-link library was not found.");
    default:
        return QStringLiteral("Unknown Error (%1) occurred.").arg(code);
    }
}

HyperlinkControl::HyperlinkControl() : hoverColour(QApplication::palette().color(QPalette::Highlight))
{
}

HyperlinkControl::~HyperlinkControl()
{
    if (label_)
    {
        label_->removeEventFilter(this);
    }
}

void HyperlinkControl::Attach(QLabel* label)
{
    if (!label || label == label_)
    {
        return;
    }
    if (label_)
    {
        label_->removeEventFilter(this);
    }
    label_ = label;
    hovering_ = false;
    label->installEventFilter(this);
    if (url_.isEmpty())
    {
        url_ = label->text();
    }
    if (label->text().isEmpty())
    {
        label->setText(url_);
    }
    QFont linkFont = label->font();
    linkFont.setUnderline(true);
    label->setFont(linkFont);
    // Long addresses stay on one line, so that the label can be fitted to them.
    label->setWordWrap(false);
    // The link paints its whole rectangle in the button face before its text, so that it
    // needs nobody behind it (a group frame leaves its members' rectangles to them). The
    // text keeps the window-text role, where the link colours go.
    label->setBackgroundRole(QPalette::Button);
    label->setForegroundRole(QPalette::WindowText);
    label->setAutoFillBackground(true);
    FitToText();
    label->setCursor(QCursor(Qt::PointingHandCursor));
    label->setToolTip(url_);
    // Reached by Tab and opened by Return or Space, as a keyboard user expects of a link.
    label->setFocusPolicy(Qt::StrongFocus);
    MarkAsLink(*label);
    ApplyColour();
}

void HyperlinkControl::SetUrl(const QString& url, const QString& toolTip)
{
    url_ = url;
    if (label_)
    {
        FitToText();
        label_->setToolTip(toolTip.isEmpty() ? url : toolTip);
    }
}

void HyperlinkControl::SetVisited(bool visited)
{
    visited_ = visited;
    if (label_)
    {
        ApplyColour();
    }
}

QColor HyperlinkControl::TextColour() const
{
    if (hovering_ || (label_ && label_->hasFocus()))
    {
        return hoverColour;
    }
    return visited_ ? visitedColour : linkColour;
}

void HyperlinkControl::ApplyColour()
{
    QPalette palette = label_->palette();
    palette.setColor(QPalette::WindowText, TextColour());
    label_->setPalette(palette);
    label_->update();
}

void HyperlinkControl::FitToText()
{
    if (!label_)
    {
        return;
    }
    QRect r = label_->geometry();
    int left = r.left();
    int top = r.top();
    int right = r.left() + r.width();
    int bottom = r.top() + r.height();

    const QFontMetrics metrics(label_->font());
    const int textWidth = metrics.horizontalAdvance(label_->text() + QLatin1Char(' '));
    const int textHeight = metrics.height();
    const Qt::Alignment alignment = label_->alignment();

    if (alignment & Qt::AlignVCenter)
    {
        const int half = (bottom - top - textHeight) / 2;
        top += half;
        bottom -= half;
    }
    else
    {
        bottom = top + textHeight;
    }
    if (alignment & Qt::AlignHCenter)
    {
        const int half = (right - left - textWidth) / 2;
        left += half;
        right -= half;
    }
    else if (alignment & Qt::AlignRight)
    {
        left = right - textWidth;
    }
    else
    {
        right = left + textWidth;
    }
    label_->setGeometry(left, top, right - left, bottom - top + 2);
    label_->repaint();
}

void HyperlinkControl::SetHovering(bool hovering)
{
    if (hovering_ == hovering)
    {
        return;
    }
    hovering_ = hovering;
    ApplyColour();
}

bool HyperlinkControl::eventFilter(QObject* watched, QEvent* event)
{
    // A label being destroyed still sends events, but is no longer a QLabel.
    auto* label = qobject_cast<QLabel*>(watched);
    if (!label || label != label_)
    {
        return false;
    }
    switch (event->type())
    {
    case QEvent::Enter:
        SetHovering(true);
        break;
    case QEvent::Leave:
        SetHovering(false);
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        ApplyColour();
        break;
    case QEvent::KeyPress:
    {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)
        {
            OnClicked();
            return true;
        }
        break;
    }
    case QEvent::MouseMove:
        SetHovering(label_->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()));
        break;
    case QEvent::MouseButtonRelease:
    {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && label_->rect().contains(mouse->position().toPoint()))
        {
            OnClicked();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return false;
}

void HyperlinkControl::OnClicked()
{
    const int result = OpenUrl(url_);
    visited_ = result > kOpened;
    if (!visited_)
    {
        QApplication::beep();
        // Shown before the message, so that the link no longer looks visited behind it.
        if (label_)
        {
            ApplyColour();
        }
        ReportOpenError(result);
    }
    else
    {
        SetVisited(true);
    }
}

int HyperlinkControl::OpenUrl(const QString& url)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int result = CurrentOpener()(url);
    QApplication::restoreOverrideCursor();
    return result;
}

void HyperlinkControl::ReportOpenError(int code)
{
    const QString text = QString::fromLatin1(kOpenErrorText) + OpenErrorLine(code);
    ShowMessage(text.toStdString(), kProgramName, MessageIcon::Exclamation);
}

} // namespace kavelmark
