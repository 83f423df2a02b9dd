#include "DesktopServices.h"

#include "DisplayServer.h"
#include "dbus/FileManager1Reveal.h"
#include "dbus/KWinPanelPlacer.h"
#include "dbus/KWinWindowStack.h"
#include "gnome/GnomeShellExtension.h"
#include "gnome/GnomeShellPanelPlacer.h"
#include "xdg/GioFileOpener.h"
#include "xdg/GioTrash.h"

#include <QCoreApplication>
#include <QDBusConnection>

namespace tarnwick {

namespace {

DesktopServices& sharedServices() {
    static DesktopServices services;
    return services;
}

// The reveal holds a bus connection: it must go while the application object still exists.
void dropSharedServices() {
    sharedServices() = DesktopServices();
}

}  // namespace

DesktopServices DesktopServices::forThisDesktop() {
    DesktopServices& services = sharedServices();
    if (!services.opener) {
        services.opener = std::make_shared<GioFileOpener>();
        services.reveal =
            std::make_shared<FileManager1Reveal>(QDBusConnection::sessionBus(), services.opener);
        services.trash = std::make_shared<GioTrash>();
        if (currentDisplayServer() == DisplayServer::wayland && KWinWindowStack::isPlasmaSession())
            services.makePlacer = [] {
                return std::make_unique<KWinPanelPlacer>(QDBusConnection::sessionBus());
            };
        if (gnomeShellExtension::isGnomeWaylandSession())
            services.makePlacer = []() -> std::unique_ptr<PanelPlacer> {
                // Asked for each panel: the user may enable or disable the extension any time.
                const QDBusConnection bus = QDBusConnection::sessionBus();
                if (!gnomeShellExtension::isRunning(bus)) return nullptr;
                return std::make_unique<GnomeShellPanelPlacer>(bus);
            };
        qAddPostRoutine(dropSharedServices);
    }
    return services;
}

}  // namespace tarnwick
