#pragma once

#include <QString>

namespace tarnwick {

// What kind of display the application talks to, as far as reaching other applications' input
// and windows goes.
enum class DisplayServer {
    x11,      // a real X server: the root window sees every client
    wayland,  // a Wayland session, also when Qt itself runs through XWayland
    none,     // no display at all (offscreen, minimal) or one we know nothing about
};

// Decides from the session's XDG_SESSION_TYPE and WAYLAND_DISPLAY and Qt's platform plug-in
// name. Under XWayland the X root sees only X clients, so a Wayland session never counts as X11.
DisplayServer displayServerFor(const QString& sessionType, const QString& waylandDisplay,
                               const QString& qtPlatformName);

// The same for this process (needs a QGuiApplication).
DisplayServer currentDisplayServer();

}  // namespace tarnwick
