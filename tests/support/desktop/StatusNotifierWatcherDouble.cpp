#include "StatusNotifierWatcherDouble.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDateTime>

namespace tarnwick::test {

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

const char* const kWatcherIntrospection = R"(<interface name="org.kde.StatusNotifierWatcher">
<method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
<method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
<property name="RegisteredStatusNotifierItems" type="as" access="read"/>
<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
<property name="ProtocolVersion" type="i" access="read"/>
<signal name="StatusNotifierItemRegistered"><arg type="s"/></signal></interface>)";

// (ia{sv}av): id, properties, children as variants of the same structure.
DbusMenuEntry readEntry(const QDBusArgument& argument) {
    DbusMenuEntry entry;
    argument.beginStructure();
    argument >> entry.id >> entry.properties;
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        entry.children.append(readEntry(child.variant().value<QDBusArgument>()));
    }
    argument.endArray();
    argument.endStructure();
    return entry;
}

}  // namespace

QString DbusMenuEntry::shortcut() const {
    QList<QStringList> chords;  // aas: one list of key names per chord
    if (properties.contains(QStringLiteral("shortcut")))
        properties.value(QStringLiteral("shortcut")).value<QDBusArgument>() >> chords;
    return chords.isEmpty() ? QString() : chords.first().join(QLatin1Char('+'));
}

StatusNotifierWatcherDouble::StatusNotifierWatcherDouble(QDBusConnection connection)
    : m_service(std::move(connection)) {
    m_service.setIntrospection(kWatcherPath, QString::fromLatin1(kWatcherIntrospection));
    m_service.setProperty(kWatcherPath, kWatcher, QStringLiteral("IsStatusNotifierHostRegistered"),
                          true);
    m_service.setProperty(kWatcherPath, kWatcher, QStringLiteral("ProtocolVersion"), 0);
    m_service.setProperty(kWatcherPath, kWatcher, QStringLiteral("RegisteredStatusNotifierItems"),
                          QStringList());
    m_service.onCall(
        kWatcherPath, kWatcher, QStringLiteral("RegisterStatusNotifierItem"),
        [this](const QDBusMessage& call) {
            QString item = call.arguments().value(0).toString();
            // Some items register an object path: the sender is the service.
            if (item.startsWith(QLatin1Char('/'))) item = call.service();
            if (!m_items.contains(item)) m_items.append(item);
            m_service.setProperty(kWatcherPath, kWatcher,
                                  QStringLiteral("RegisteredStatusNotifierItems"), m_items);
            m_service.emitSignal(kWatcherPath, kWatcher,
                                 QStringLiteral("StatusNotifierItemRegistered"), {item});
            return FakeBusService::answer();
        });
    m_service.onCall(kWatcherPath, kWatcher, QStringLiteral("RegisterStatusNotifierHost"),
                     [](const QDBusMessage&) { return FakeBusService::answer(); });
}

QDBusMessage StatusNotifierWatcherDouble::callMenu(const QString& itemService,
                                                   const QString& member,
                                                   const QVariantList& arguments) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        itemService, QStringLiteral("/StatusNotifierItem"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("Menu");
    const QDBusReply<QDBusVariant> path =
        m_service.connection().call(get, QDBus::BlockWithGui, 5000);
    if (!path.isValid()) return {};
    QDBusMessage call = QDBusMessage::createMethodCall(
        itemService, path.value().variant().value<QDBusObjectPath>().path(),
        QStringLiteral("com.canonical.dbusmenu"), member);
    call.setArguments(arguments);
    return m_service.connection().call(call, QDBus::BlockWithGui, 5000);
}

std::optional<QList<DbusMenuEntry>> StatusNotifierWatcherDouble::menuOf(
    const QString& itemService) {
    const QDBusMessage reply =
        callMenu(itemService, QStringLiteral("GetLayout"), {0, -1, QStringList()});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() < 2)
        return std::nullopt;
    return readEntry(reply.arguments().at(1).value<QDBusArgument>()).children;
}

bool StatusNotifierWatcherDouble::click(const QString& itemService, int entryId) {
    const QVariantList event{entryId, QStringLiteral("clicked"),
                             QVariant::fromValue(QDBusVariant(0)),
                             uint(QDateTime::currentSecsSinceEpoch())};
    return callMenu(itemService, QStringLiteral("Event"), event).type() ==
           QDBusMessage::ReplyMessage;
}

}  // namespace tarnwick::test
