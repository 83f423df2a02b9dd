#pragma once

#include <QString>
#include <QtGlobal>

namespace tarnwick {

// The window system's time of the user's latest key or button press in this application (on X11
// the X server time; 0 where Qt has none to give). A window brought up on the user's behalf
// passes it on, so that focus-stealing prevention lets that window come to the front.
quint64 lastUserInputTime();

// Starts recording lastUserInputTime(); needs the application object, harmless to call twice.
void trackUserInputTime();

// A startup-notification id carrying `userTime` ("…_TIME<time>", as X11 desktops expect), or an
// empty id when there is no time to give.
QString startupIdFor(quint64 userTime);

// The activation token this start was given by the desktop (XDG_ACTIVATION_TOKEN, else
// DESKTOP_STARTUP_ID); empty when none.
QString activationTokenOfThisStart();

// Lets the next window this process brings up take the focus with `token`, one that another
// start of the program was given. On Wayland Qt presents XDG_ACTIVATION_TOKEN from the
// environment with its next activation request, then drops it.
void adoptActivationToken(const QString& token);

}  // namespace tarnwick
