#pragma once

#include <functional>

class QUrl;

namespace kavelmark
{

// The help page lives in the program's resources; the browser gets a copy in the cache folder,
// since it cannot read the resources. Says so when the copy or the browser fails.
void OpenHelpPage(const std::function<bool(const QUrl&)>& urlOpener);
// The message for a help page the browser did not show, with the page's path to open by hand.
void ShowHelpPageFailed(const QUrl& page);

} // namespace kavelmark
