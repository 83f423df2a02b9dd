#include "GnomeShellShortcut.h"

#include "GnomeShellExtension.h"

#include <QDBusMessage>

namespace tarnwick {

GnomeShellShortcut::GnomeShellShortcut(QDBusConnection bus, QObject* parent)
    : GlobalShortcut(parent), m_bus(std::move(bus)) {}

void GnomeShellShortcut::registerKey(const ShortcutKey& key) {
    const QStringList accelerators{gnomeAccelerator(key)};
    gnomeShellExtension::call(
        m_bus, QStringLiteral("SetShortcut"), {accelerators}, this,
        [this](const QDBusMessage& reply) {
            if (reply.type() != QDBusMessage::ReplyMessage)
                return Q_EMIT unavailable(QStringLiteral("Tarnwick's GNOME Shell extension "
                                                         "does not answer: ") +
                                          reply.errorMessage());
            // The shell refuses keys it cannot bind (taken by another shortcut, or unknown).
            if (!reply.arguments().value(0).toBool()) return Q_EMIT registrationFailed(1);
            Q_EMIT bound(QString());
        });
}

}  // namespace tarnwick
