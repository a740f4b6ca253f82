#include "ui/ListFocus.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QEvent>
#include <QPointer>
#include <QTimer>

namespace kavelmark
{
namespace
{

void AnnounceCurrentCell(QAbstractItemView& view)
{
    const QModelIndex current = view.currentIndex();
    if (!QAccessible::isActive() || !view.hasFocus() || !current.isValid())
    {
        return;
    }
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&view);
    QAccessibleTableInterface* table = list ? list->tableInterface() : nullptr;
    QAccessibleInterface* cell = table ? table->cellAt(current.row(), current.column()) : nullptr;
    if (cell)
    {
        QAccessibleEvent focus(cell, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

class FocusWatch final : public QObject
{
public:
    explicit FocusWatch(QAbstractItemView& view) : QObject(&view), view_(&view)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == view_ && event->type() == QEvent::FocusIn)
        {
            // After Qt has told that the view itself took the focus.
            QTimer::singleShot(0, this,
                               [this]
                               {
                                   if (view_)
                                   {
                                       AnnounceCurrentCell(*view_);
                                   }
                               });
        }
        return false;
    }

private:
    QPointer<QAbstractItemView> view_;
};

} // namespace

void AnnounceCurrentRowOnFocus(QAbstractItemView& view)
{
    view.installEventFilter(new FocusWatch(view));
}

} // namespace kavelmark
