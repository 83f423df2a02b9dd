#pragma once

#include "platform/GlobalShortcut.h"

#include <QDBusConnection>

namespace tarnwick {

// The search shortcut as Tarnwick's GNOME Shell extension binds it: the keys go into the
// extension's settings and the shell calls this application's activate-search action itself, so
// a press starts no process and `pressed` is never emitted here. The binding stays with the
// shell when Tarnwick quits: a press then starts `tarnwick --activate`.
class GnomeShellShortcut : public GlobalShortcut {
    Q_OBJECT
public:
    explicit GnomeShellShortcut(QDBusConnection bus, QObject* parent = nullptr);

    void registerKey(const ShortcutKey& key) override;
    void unregisterKey() override {}

private:
    QDBusConnection m_bus;
};

}  // namespace tarnwick
