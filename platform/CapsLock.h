#pragma once

#include <QStringView>
#include <QtGlobal>

class QKeyEvent;

namespace tarnwick {

// Whether Caps Lock was on when `event` was typed. Qt's modifiers() never say; the window
// system's own modifier state does: on X11 (and Qt's Wayland plug-in, which reports the xkb
// state the same way) that is the Lock bit. Other platforms report nothing: off.
bool capsLockOn(const QKeyEvent& event);

// The same decision from the event's native modifier state and Qt's platform name.
bool capsLockInNativeModifiers(quint32 nativeModifiers, QStringView platformName);

}  // namespace tarnwick
