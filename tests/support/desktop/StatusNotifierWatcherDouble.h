#pragma once

#include "FakeBusService.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDateTime>
#include <QList>
#include <QVariantMap>

#include <optional>

namespace tarnwick::test {

// One entry of a com.canonical.dbusmenu layout.
struct DbusMenuEntry {
    int id = 0;
    QVariantMap properties;  // "label", "enabled", "type", "shortcut", ...
    QList<DbusMenuEntry> children;

    QString label() const { return properties.value(QStringLiteral("label")).toString(); }
    bool isSeparator() const { return properties.value(QStringLiteral("type")) == "separator"; }
    bool isEnabled() const { return properties.value(QStringLiteral("enabled"), true).toBool(); }
    // "shortcut" as key names joined with '+', e.g. "Control+Q"; empty without one.
    QString shortcut() const {
        QList<QStringList> chords;  // aas: one list of key names per chord
        if (properties.contains(QStringLiteral("shortcut")))
            properties.value(QStringLiteral("shortcut")).value<QDBusArgument>() >> chords;
        return chords.isEmpty() ? QString() : chords.first().join(u'+');
    }
    // (ia{sv}av): id, properties, children as variants of the same structure.
    static DbusMenuEntry read(const QDBusArgument& argument) {
        DbusMenuEntry entry;
        argument.beginStructure();
        argument >> entry.id >> entry.properties;
        argument.beginArray();
        while (!argument.atEnd()) {
            QDBusVariant child;
            argument >> child;
            entry.children.append(read(child.variant().value<QDBusArgument>()));
        }
        argument.endArray();
        argument.endStructure();
        return entry;
    }
};

// The smallest StatusNotifierWatcher Qt's tray icon accepts; reads and clicks items' menus.
class StatusNotifierWatcherDouble : public FakeBusService {
public:
    explicit StatusNotifierWatcherDouble(QDBusConnection connection)
        : FakeBusService(std::move(connection)) {
        // Qt reads the host flag through an introspected interface, and registers by a plain call.
        setIntrospection(kPath, QStringLiteral(R"(<interface name="org.kde.StatusNotifierWatcher">
<property name="IsStatusNotifierHostRegistered" type="b" access="read"/></interface>)"));
        setProperty(kPath, kWatcher, QStringLiteral("IsStatusNotifierHostRegistered"), true);
        onCall(kPath, kWatcher, QStringLiteral("RegisterStatusNotifierItem"), [this](auto& call) {
            QString item = call.arguments().value(0).toString();
            if (item.startsWith(u'/')) item = call.service();  // a path: the sender is the service
            if (!m_items.contains(item)) m_items.append(item);
            return answer();
        });
    }

    bool serve() { return FakeBusService::serve(kWatcher); }
    const QStringList& items() const { return m_items; }
    // The top-level entries of the menu of the item registered as `item`.
    std::optional<QList<DbusMenuEntry>> menuOf(const QString& item) {
        const QDBusMessage reply =
            callMenu(item, QStringLiteral("GetLayout"), {0, -1, QStringList()});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() < 2)
            return std::nullopt;
        return DbusMenuEntry::read(reply.arguments().at(1).value<QDBusArgument>()).children;
    }
    bool click(const QString& item, int entryId) {
        const QVariantList event{entryId, QStringLiteral("clicked"),
                                 QVariant::fromValue(QDBusVariant(0)),
                                 uint(QDateTime::currentSecsSinceEpoch())};
        return callMenu(item, QStringLiteral("Event"), event).type() == QDBusMessage::ReplyMessage;
    }

private:
    static inline const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    static inline const QString kPath = QStringLiteral("/StatusNotifierWatcher");

    QDBusMessage callMenu(const QString& item, const QString& member,
                          const QVariantList& arguments) {
        const QDBusReply<QDBusVariant> menu = connection().call(
            QDBusMessage::createMethodCall(item, QStringLiteral("/StatusNotifierItem"),
                                           QStringLiteral("org.freedesktop.DBus.Properties"),
                                           QStringLiteral("Get"))
                << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("Menu"),
            QDBus::BlockWithGui, 5000);
        if (!menu.isValid()) return {};
        QDBusMessage call = QDBusMessage::createMethodCall(
            item, menu.value().variant().value<QDBusObjectPath>().path(),
            QStringLiteral("com.canonical.dbusmenu"), member);
        call.setArguments(arguments);
        return connection().call(call, QDBus::BlockWithGui, 5000);
    }

    QStringList m_items;
};

}  // namespace tarnwick::test
