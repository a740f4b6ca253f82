#pragma once

class QString;
class QWidget;

namespace kavelmark
{

// Tells screen readers of a change that shows on screen only in passing: for a few seconds
// the window's accessible name is its title followed by the text, and the name change is
// sent; then the name is the title again. The title itself stays as it is. Texts told while
// one shows are added to it.
void Announce(QWidget& window, const QString& text);

// Tells screen readers that the window's title changed, which Qt does not. A new status in
// the title replaces an announcement that still shows; a title that only loses its status
// waits for the announcement's end, which tells it.
enum class TitleChange
{
    NewStatus,
    StatusGone,
};
void TellTitle(QWidget& window, TitleChange change);

} // namespace kavelmark
