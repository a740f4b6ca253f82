#include "ui/LinkAccessibility.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>

namespace kavelmark
{
namespace
{

constexpr const char* kLinkProperty = "kavelmarkLink";

class LinkAccessible final : public QAccessibleWidget
{
public:
    explicit LinkAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::Link)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        const auto* label = static_cast<const QLabel*>(widget());
        if (t == QAccessible::Name && label->accessibleName().isEmpty())
        {
            return label->text();
        }
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override
    {
        if (actionName != pressAction())
        {
            QAccessibleWidget::doAction(actionName);
            return;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(widget(), &press);
    }
};

QAccessibleInterface* LinkFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("QLabel") && object && object->property(kLinkProperty).toBool())
    {
        return new LinkAccessible(static_cast<QLabel*>(object));
    }
    return nullptr;
}

} // namespace

void InstallLinkAccessibility()
{
    static bool installed = false;
    if (!installed)
    {
        installed = true;
        QAccessible::installFactory(&LinkFactory);
    }
}

void MarkAsLink(QLabel& label)
{
    InstallLinkAccessibility();
    label.setProperty(kLinkProperty, true);
    // Qt keeps the interface it made for the label while it was plain text; the next one asked
    // for comes from the factory above.
    if (QAccessible::isActive())
    {
        QAccessibleInterface* made = QAccessible::queryAccessibleInterface(&label);
        if (made && made->role() != QAccessible::Link)
        {
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
        }
    }
}

} // namespace kavelmark
