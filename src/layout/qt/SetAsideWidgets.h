#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

namespace kavelmark
{

// Widgets a layout owner replaced and must dispose of itself. They are deleted at the next
// layout reset, and only they: flushing every deferred deletion in the process there would
// also delete objects whose own handlers are still on the stack (a context menu that opened
// the dialog being laid out).
class SetAsideWidgets
{
public:
    void Add(QWidget* widget)
    {
        widget->hide();
        widgets_.emplace_back(widget);
    }

    void DeleteAll()
    {
        for (QPointer<QWidget>& widget : widgets_)
        {
            delete widget.data();
        }
        widgets_.clear();
    }

private:
    std::vector<QPointer<QWidget>> widgets_;
};

} // namespace kavelmark
