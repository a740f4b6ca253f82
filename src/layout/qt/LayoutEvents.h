#pragma once

#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace kavelmark
{

// Sent synchronously by a CPropertySheetLayout to its parent widget after one of its pages
// made it grow; a CDialogLayout that holds the sheet in its tree grows to fit.
class SizedSheetEvent final : public QEvent
{
public:
    explicit SizedSheetEvent(QWidget* sheet) : QEvent(EventType()), sheet_(sheet)
    {
    }

    // Registered with Qt on first use, so that it never clashes with another library's.
    static QEvent::Type EventType()
    {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    QWidget* Sheet() const
    {
        return sheet_;
    }

private:
    QPointer<QWidget> sheet_;
};

} // namespace kavelmark
