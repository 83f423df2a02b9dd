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
    bool isSeparator() const;
    bool isEnabled() const;
    // "shortcut" as key names joined with '+', e.g. "Control+Q"; empty without one.
    QString shortcut() const;
};

// The smallest StatusNotifierWatcher a tray icon accepts (Qt checks for a registered host
// before it takes the StatusNotifierItem route), keeping the items that register, and able to
// read an item's menu the way a desktop panel does.
class StatusNotifierWatcherDouble {
public:
    explicit StatusNotifierWatcherDouble(QDBusConnection connection);

    bool serve();
    const QStringList& items() const { return m_items; }

    // The menu of the item registered as `itemService`: its "Menu" object's top-level layout.
    std::optional<QList<DbusMenuEntry>> menuOf(const QString& itemService);
    // Clicks a menu entry, as a panel does when the user chooses it.
    bool click(const QString& itemService, int entryId);

private:
    std::optional<QString> menuPath(const QString& itemService);

    FakeBusService m_service;
    QStringList m_items;
};

}  // namespace tarnwick::test
