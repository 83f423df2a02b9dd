#pragma once

#include "FakeBusService.h"

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
    QString shortcut() const;
};

// The smallest StatusNotifierWatcher a tray icon accepts (Qt checks for a registered host
// before it takes the StatusNotifierItem route), keeping the items that register, and able to
// read and click an item's menu the way a desktop panel does.
class StatusNotifierWatcherDouble {
public:
    explicit StatusNotifierWatcherDouble(QDBusConnection connection);

    bool serve() { return m_service.serve(QStringLiteral("org.kde.StatusNotifierWatcher")); }
    const QStringList& items() const { return m_items; }
    // The top-level entries of the menu of the item registered as `item`.
    std::optional<QList<DbusMenuEntry>> menuOf(const QString& item);
    bool click(const QString& item, int entryId);

private:
    QDBusMessage callMenu(const QString& item, const QString& member,
                          const QVariantList& arguments);

    FakeBusService m_service;
    QStringList m_items;
};

}  // namespace tarnwick::test
