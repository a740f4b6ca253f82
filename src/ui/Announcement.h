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

} // namespace kavelmark
