#include "DisplayServer.h"

#include <QGuiApplication>

namespace tarnwick {

DisplayServer displayServerFor(const QString& sessionType, const QString& waylandDisplay,
                               const QString& qtPlatformName) {
    const bool waylandSession =
        sessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0 ||
        !waylandDisplay.isEmpty();
    if (qtPlatformName.startsWith(QLatin1String("wayland"))) return DisplayServer::wayland;
    if (qtPlatformName != QLatin1String("xcb")) return DisplayServer::none;
    return waylandSession ? DisplayServer::wayland : DisplayServer::x11;
}

DisplayServer currentDisplayServer() {
    return displayServerFor(qEnvironmentVariable("XDG_SESSION_TYPE"),
                            qEnvironmentVariable("WAYLAND_DISPLAY"),
                            QGuiApplication::platformName());
}

}  // namespace tarnwick
