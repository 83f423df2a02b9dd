#include "CapsLock.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace tarnwick {

namespace {

// The core protocol's LockMask; xkb keeps Lock at the same position in its modifier mask.
constexpr quint32 kLockMask = 0x2;

}  // namespace

bool capsLockInNativeModifiers(quint32 nativeModifiers, QStringView platformName) {
    const bool reportsXkbState = platformName == u"xcb" || platformName.startsWith(u"wayland");
    return reportsXkbState && (nativeModifiers & kLockMask) != 0;
}

bool capsLockOn(const QKeyEvent& event) {
    return capsLockInNativeModifiers(event.nativeModifiers(), QGuiApplication::platformName());
}

}  // namespace tarnwick
