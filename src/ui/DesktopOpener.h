#pragma once

#include <functional>

class QUrl;

namespace kavelmark
{

// Opens a URL with the desktop's handler (xdg-open). Starting it is not enough to know that a
// browser came up: xdg-open finds out only later that there is none, and says so by its exit
// code, on which `failedLater` runs. False when the handler cannot be started at all.
bool OpenWithDesktopHandler(const QUrl& url, std::function<void()> failedLater);

} // namespace kavelmark
