#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

namespace tarnwick::test {

// Moves the pointer and clicks `button` there through XTEST (xdotool). The server handles the
// motion before the press, so no waiting for the motion is needed (xdotool's --sync would wait
// for motion that never comes when the pointer is already there).
bool xdoClick(QPoint at, int button);

// Waits until a visible window of the X class `windowClass` exists.
bool xdoWaitForWindowClass(const QString& windowClass);

// Gives the keyboard focus to the visible window of the X class `windowClass` (XSetInputFocus,
// so no window manager is needed).
bool xdoFocusWindowClass(const QString& windowClass);

// The height of the visible window of the X class `windowClass`, or -1 when there is none.
int xdoWindowHeight(const QString& windowClass);

// Presses and releases each key (xdotool key names: "space", "ctrl+c", "Caps_Lock") in turn, on
// the window that has the keyboard focus.
bool xdoKeys(const QStringList& keys);

// Types `text` into the window that has the keyboard focus.
bool xdoType(const QString& text);

}  // namespace tarnwick::test
