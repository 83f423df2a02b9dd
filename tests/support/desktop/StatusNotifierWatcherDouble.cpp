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
const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kMenuInterface = QStringLiteral("com.canonical.dbusmenu");

const char* const kWatcherIntrospection =
    "<interface name=\"org.kde.StatusNotifierWatcher\">"
    "<method name=\"RegisterStatusNotifierItem\"><arg name=\"service\" type=\"s\" "
    "direction=\"in\"/></method>"
    "<method name=\"RegisterStatusNotifierHost\"><arg name=\"service\" type=\"s\" "
    "direction=\"in\"/></method>"
    "<property name=\"RegisteredStatusNotifierItems\" type=\"as\" access=\"read\"/>"
    "<property name=\"IsStatusNotifierHostRegistered\" type=\"b\" access=\"read\"/>"
    "<property name=\"ProtocolVersion\" type=\"i\" access=\"read\"/>"
    "<signal name=\"StatusNotifierItemRegistered\"><arg type=\"s\"/></signal>"
    "</interface>";

void readEntry(const QDBusArgument& argument, DbusMenuEntry& entry);

void readChildren(const QDBusArgument& argument, QList<DbusMenuEntry>& children) {
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        DbusMenuEntry entry;
        readEntry(child.variant().value<QDBusArgument>(), entry);
        children.append(entry);
    }
    argument.endArray();
}

// (ia{sv}av): id, properties, children as variants of the same structure.
void readEntry(const QDBusArgument& argument, DbusMenuEntry& entry) {
    argument.beginStructure();
    argument >> entry.id >> entry.properties;
    readChildren(argument, entry.children);
    argument.endStructure();
}

}  // namespace

bool DbusMenuEntry::isSeparator() const {
    return properties.value(QStringLiteral("type")).toString() == QLatin1String("separator");
}

bool DbusMenuEntry::isEnabled() const {
    return properties.value(QStringLiteral("enabled"), true).toBool();
}

QString DbusMenuEntry::shortcut() const {
    const QVariant value = properties.value(QStringLiteral("shortcut"));
    if (!value.isValid()) return {};
    // aas: one list of key names per chord.
    QList<QStringList> chords;
    value.value<QDBusArgument>() >> chords;
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

bool StatusNotifierWatcherDouble::serve() {
    return m_service.serve(kWatcher);
}

std::optional<QString> StatusNotifierWatcherDouble::menuPath(const QString& itemService) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        itemService, kItemPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("Menu");
    const QDBusReply<QDBusVariant> reply =
        m_service.connection().call(get, QDBus::BlockWithGui, 5000);
    if (!reply.isValid()) return std::nullopt;
    return reply.value().variant().value<QDBusObjectPath>().path();
}

std::optional<QList<DbusMenuEntry>> StatusNotifierWatcherDouble::menuOf(
    const QString& itemService) {
    const std::optional<QString> path = menuPath(itemService);
    if (!path) return std::nullopt;
    QDBusMessage layout = QDBusMessage::createMethodCall(itemService, *path, kMenuInterface,
                                                         QStringLiteral("GetLayout"));
    layout << 0 << -1 << QStringList();
    const QDBusMessage reply = m_service.connection().call(layout, QDBus::BlockWithGui, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() < 2)
        return std::nullopt;
    DbusMenuEntry root;
    readEntry(reply.arguments().at(1).value<QDBusArgument>(), root);
    return root.children;
}

bool StatusNotifierWatcherDouble::click(const QString& itemService, int entryId) {
    const std::optional<QString> path = menuPath(itemService);
    if (!path) return false;
    QDBusMessage event =
        QDBusMessage::createMethodCall(itemService, *path, kMenuInterface, QStringLiteral("Event"));
    event << entryId << QStringLiteral("clicked") << QVariant::fromValue(QDBusVariant(0))
          << uint(QDateTime::currentSecsSinceEpoch());
    return m_service.connection().call(event, QDBus::BlockWithGui, 5000).type() ==
           QDBusMessage::ReplyMessage;
}

}  // namespace tarnwick::test
