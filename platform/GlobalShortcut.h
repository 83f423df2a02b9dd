#pragma once

#include <QObject>
#include <QString>

namespace tarnwick {

// One key combination, as the desktop's shortcut services take it.
struct ShortcutKey {
    quint32 keysym = 0;
    QString keysymName;  // as xkb spells it: "space", "Return", "q", "F5"
    bool control = false;
    bool alt = false;
    bool shift = false;
    bool super = false;
    // What the shortcut does, for desktops that list the shortcuts of their applications.
    QString description;
};

// "CTRL+SHIFT+space": the trigger notation of the freedesktop shortcuts portal.
QString portalTrigger(const ShortcutKey& key);
// "<Control><Shift>space": the accelerator notation of GNOME's keybinding settings.
QString gnomeAccelerator(const ShortcutKey& key);

// A system-wide keyboard shortcut: reports each press of one key combination on the main thread,
// whichever application has the keyboard.
class GlobalShortcut : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts listening for `key`, replacing any earlier registration. The outcome comes through
    // bound, registrationFailed or unavailable, at once or later.
    virtual void registerKey(const ShortcutKey& key) = 0;
    // Stops listening and gives the key back; harmless when nothing is registered.
    virtual void unregisterKey() = 0;

Q_SIGNALS:
    void pressed();
    // The desktop holds the key for us; `trigger` is how it names the key the user may have
    // chosen instead of ours ("Meta+Space"), empty when it is the one asked for.
    void bound(const QString& trigger);
    // The desktop refused this key; `status` is the service's own error code.
    void registrationFailed(int status);
    // This desktop offers no such service at all.
    void unavailable(const QString& reason);
};

}  // namespace tarnwick
