#include "platform/qt/AccessibilityBusGuard.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QPointer>
#include <QTimer>
#include <QVariantMap>

namespace kavelmark
{
namespace
{

// Where Qt's bridge serves the accessible objects, and the name of its bus connection.
const QString kObjectPath = QStringLiteral("/org/a11y/atspi/accessible");
const QString kRootPath = QStringLiteral("/org/a11y/atspi/accessible/root");
const QString kConnectionName = QStringLiteral("a11y");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

QAccessibleInterface* InterfaceAt(const QString& path)
{
    if (path == kRootPath)
    {
        return QAccessible::queryAccessibleInterface(QCoreApplication::instance());
    }
    bool ok = false;
    const QAccessible::Id id = path.section(QLatin1Char('/'), -1).toUInt(&ok);
    return ok ? QAccessible::accessibleInterface(id) : nullptr;
}

// The plain properties of the interfaces a client asks for; the rest it gets by Get.
QVariantMap AllProperties(const QString& path, const QString& interfaceName)
{
    QVariantMap properties;
    QAccessibleInterface* accessible = InterfaceAt(path);
    if (!accessible || !accessible->isValid())
    {
        return properties;
    }
    if (interfaceName == QLatin1String("org.a11y.atspi.Accessible"))
    {
        properties.insert(QStringLiteral("Name"), accessible->text(QAccessible::Name));
        properties.insert(QStringLiteral("Description"), accessible->text(QAccessible::Description));
        properties.insert(QStringLiteral("ChildCount"), accessible->childCount());
    }
    else if (interfaceName == QLatin1String("org.a11y.atspi.Application") && path == kRootPath)
    {
        properties.insert(QStringLiteral("ToolkitName"), QStringLiteral("Qt"));
        properties.insert(QStringLiteral("Version"), QString::fromLatin1(qVersion()));
    }
    return properties;
}

class Guard final : public QDBusVirtualObject
{
public:
    Guard(QDBusVirtualObject& bridge) : QDBusVirtualObject(&bridge), bridge_(&bridge)
    {
    }

    QString introspect(const QString& path) const override
    {
        return bridge_ ? bridge_->introspect(path) : QString();
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.interface() == kProperties && message.member() == QLatin1String("GetAll"))
        {
            const QList<QVariant> arguments = message.arguments();
            const QString interfaceName = arguments.isEmpty() ? QString() : arguments.front().toString();
            return connection.send(message.createReply(QVariant(AllProperties(message.path(), interfaceName))));
        }
        if (message.interface() == kProperties && message.arguments().size() < 2)
        {
            return connection.send(message.createErrorReply(QDBusError::InvalidArgs, QString()));
        }
        return bridge_ && bridge_->handleMessage(message, connection);
    }

private:
    QPointer<QDBusVirtualObject> bridge_;
};

// Puts the guard in the bridge's place once the bridge is on the bus; true when it is there.
bool TakeBridgesPlace()
{
    QDBusConnection bus(kConnectionName);
    if (!bus.isConnected())
    {
        return false;
    }
    QObject* registered = bus.objectRegisteredAt(kObjectPath);
    if (dynamic_cast<Guard*>(registered))
    {
        return true;
    }
    auto* bridge = qobject_cast<QDBusVirtualObject*>(registered);
    if (!bridge)
    {
        return false;
    }
    // A child of the bridge: the guard goes when the bridge goes.
    auto* guard = new Guard(*bridge);
    bus.unregisterObject(kObjectPath);
    if (!bus.registerVirtualObject(kObjectPath, guard, QDBusConnection::SubPath))
    {
        delete guard;
        bus.registerVirtualObject(kObjectPath, bridge, QDBusConnection::SubPath);
        return false;
    }
    return true;
}

// Tries again for a while: the bridge may still wait for the bus's address.
void TakeBridgesPlaceSoon(int triesLeft)
{
    if (!QAccessible::isActive() || TakeBridgesPlace() || triesLeft == 0)
    {
        return;
    }
    QTimer::singleShot(100, QCoreApplication::instance(), [triesLeft] { TakeBridgesPlaceSoon(triesLeft - 1); });
}

// The bridge registers itself on the bus right after it turns accessibility on; a call queued
// then runs before any client's message can arrive.
class BridgeWatch final : public QAccessible::ActivationObserver
{
public:
    void accessibilityActiveChanged(bool active) override
    {
        if (active)
        {
            QTimer::singleShot(0, QCoreApplication::instance(), [] { TakeBridgesPlaceSoon(100); });
        }
    }
};

} // namespace

void GuardAccessibilityBus()
{
    static BridgeWatch watch;
    static bool watching = false;
    if (watching)
    {
        return;
    }
    watching = true;
    QAccessible::installActivationObserver(&watch);
    if (QAccessible::isActive())
    {
        watch.accessibilityActiveChanged(true);
    }
}

} // namespace kavelmark
