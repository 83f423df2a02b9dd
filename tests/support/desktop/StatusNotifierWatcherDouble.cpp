#include "StatusNotifierWatcherDouble.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDateTime>

using namespace Qt::Literals::StringLiterals;

namespace tarnwick::test {

namespace {

const QString kWatcher = u"org.kde.StatusNotifierWatcher"_s;
const QString kPath = u"/StatusNotifierWatcher"_s;

const char16_t* const kIntrospection =
    uR"(<interface name="org.kde.StatusNotifierWatcher">
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
    if (properties.contains(u"shortcut"_s))
        properties.value(u"shortcut"_s).value<QDBusArgument>() >> chords;
    return chords.isEmpty() ? QString() : chords.first().join(u'+');
}

StatusNotifierWatcherDouble::StatusNotifierWatcherDouble(QDBusConnection connection)
    : m_service(std::move(connection)) {
    m_service.setIntrospection(kPath, QString::fromUtf16(kIntrospection));
    m_service.setProperty(kPath, kWatcher, u"IsStatusNotifierHostRegistered"_s, true);
    m_service.setProperty(kPath, kWatcher, u"ProtocolVersion"_s, 0);
    m_service.setProperty(kPath, kWatcher, u"RegisteredStatusNotifierItems"_s, QStringList());
    m_service.onCall(
        kPath, kWatcher, u"RegisterStatusNotifierItem"_s, [this](const QDBusMessage& call) {
            QString item = call.arguments().value(0).toString();
            // Some items register an object path: the sender is the service.
            if (item.startsWith(u'/')) item = call.service();
            if (!m_items.contains(item)) m_items.append(item);
            m_service.setProperty(kPath, kWatcher, u"RegisteredStatusNotifierItems"_s, m_items);
            m_service.emitSignal(kPath, kWatcher, u"StatusNotifierItemRegistered"_s, {item});
            return FakeBusService::answer();
        });
    m_service.onCall(kPath, kWatcher, u"RegisterStatusNotifierHost"_s,
                     [](const QDBusMessage&) { return FakeBusService::answer(); });
}

QDBusMessage StatusNotifierWatcherDouble::callMenu(const QString& item, const QString& member,
                                                   const QVariantList& arguments) {
    const QDBusReply<QDBusVariant> menu = m_service.connection().call(
        QDBusMessage::createMethodCall(item, u"/StatusNotifierItem"_s,
                                       u"org.freedesktop.DBus.Properties"_s, u"Get"_s)
            << u"org.kde.StatusNotifierItem"_s << u"Menu"_s,
        QDBus::BlockWithGui, 5000);
    if (!menu.isValid()) return {};
    QDBusMessage call =
        QDBusMessage::createMethodCall(item, menu.value().variant().value<QDBusObjectPath>().path(),
                                       u"com.canonical.dbusmenu"_s, member);
    call.setArguments(arguments);
    return m_service.connection().call(call, QDBus::BlockWithGui, 5000);
}

std::optional<QList<DbusMenuEntry>> StatusNotifierWatcherDouble::menuOf(const QString& item) {
    const QDBusMessage reply = callMenu(item, u"GetLayout"_s, {0, -1, QStringList()});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() < 2)
        return std::nullopt;
    return readEntry(reply.arguments().at(1).value<QDBusArgument>()).children;
}

bool StatusNotifierWatcherDouble::click(const QString& item, int entryId) {
    const QVariantList event{entryId, u"clicked"_s, QVariant::fromValue(QDBusVariant(0)),
                             uint(QDateTime::currentSecsSinceEpoch())};
    return callMenu(item, u"Event"_s, event).type() == QDBusMessage::ReplyMessage;
}

}  // namespace tarnwick::test
