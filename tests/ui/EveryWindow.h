#pragma once

// Every window Kavelmark shows, message boxes and Qt's own file dialog aside: the main window
// and its menus, the dialogs and the context menus, each opened the way a user opens it in the
// running program, at the size it opens with in the default font. A check over all windows
// walks this table; a new window is one more row.
#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace kavelmark::testing
{

// Called once while the window is on screen; the row closes it afterwards.
using LookAtWindow = std::function<void(QWidget& window)>;

struct ShownWindow
{
    QString name;
    // Opens the window as the program does, calls look and closes it again. Returns whether the
    // window showed.
    std::function<bool(const LookAtWindow& look)> open;
};

const std::vector<ShownWindow>& EveryWindow();

} // namespace kavelmark::testing
