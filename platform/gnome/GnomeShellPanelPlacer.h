#pragma once

#include "platform/PanelPlacer.h"

#include <QDBusConnection>

namespace tarnwick {

// Tarnwick's GNOME Shell extension places the window (found by this process's id and the
// window's title) when the shell maps it, keeps it inside the work area as it grows and above
// other windows, and lets go of it when it goes. Without the extension the message goes nowhere
// and the shell places the window itself.
class GnomeShellPanelPlacer : public PanelPlacer {
public:
    explicit GnomeShellPanelPlacer(QDBusConnection bus) : m_bus(std::move(bus)) {}

    void keepPlaced(const QString& title, const PanelRule& rule) override;

private:
    QDBusConnection m_bus;
};

}  // namespace tarnwick
