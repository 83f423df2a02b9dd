#pragma once

#include "HotKeyText.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace tarnwick {

class GlobalShortcut;

// The one system-wide shortcut that opens the search: read from the user's settings, registered
// with whatever this desktop offers (a key grab on X11, the shortcut portal on Wayland), and
// reported through onHotKey on the main thread. The application never writes the stored keys.
class HotKeyManager : public QObject {
    Q_OBJECT
public:
    using BackendFactory = std::function<std::unique_ptr<GlobalShortcut>()>;

    // Status printed for a stored key code that no key of this keyboard family stands for.
    static constexpr int kUnmappedKeyCode = -1;

    static HotKeyManager& shared();

    // With a backend of the caller's choice (tests); shared() picks the session's own.
    explicit HotKeyManager(BackendFactory backends, QObject* parent = nullptr);
    ~HotKeyManager() override;

    // The stored shortcut, read anew on each call.
    StoredHotKey storedHotKey() const;
    // "Ctrl+Shift+Space": the stored shortcut as this desktop names keys, read anew.
    QString displayText() const;

    // Replaces any earlier registration by the stored shortcut. Failures print one line:
    // "Failed to register global hot key: " and a status, or why this desktop has no
    // shortcut service; the tray menu works either way.
    void registerHotKey();
    // Gives the key back (at quit); harmless when nothing is registered.
    void unregisterHotKey();

    // Whether the desktop holds a key for us right now (asked but not yet answered, refused or
    // given back: false).
    bool isRegistered() const;
    // The key that opens the search now, as the desktop names it (the user may have chosen
    // another than the stored one); empty when none does.
    QString workingShortcut() const;
    // "Shortcut: Ctrl+Shift+Space" while a key works, otherwise where things stand.
    QString trayLine() const;
    // Why no key opens the search and what the user can do, in a sentence; empty while one
    // does or the desktop has not answered yet.
    QString shortcutProblem() const;

    // GNOME without the shortcut portal: a custom keybinding in GNOME's settings that runs
    // `tarnwick --activate` can stand in for the shortcut. True when this is such a desktop
    // and the keybinding can be added (whether or not it already is).
    bool offersGnomeKeybinding() const;
    bool gnomeKeybindingInstalled() const;
    void retireGnomeKeybinding();
    // Adds (or updates) that keybinding for the stored shortcut / removes it; false with a
    // reason in `error` on failure. Only on the user's request.
    bool installGnomeKeybinding(QString* error = nullptr);
    bool removeGnomeKeybinding(QString* error = nullptr);

    // Called once per press of the shortcut.
    std::function<void()> onHotKey;

Q_SIGNALS:
    // Bound, refused or given up on: workingShortcut and shortcutProblem may read otherwise.
    void stateChanged();

private:
    void backendBound(const QString& trigger);
    void backendFailed(int status);
    void backendUnavailable(const QString& reason);
    bool isPending() const;

    BackendFactory m_backends;
    std::unique_ptr<GlobalShortcut> m_backend;
    bool m_bound = false;
    QString m_trigger;  // as the desktop named the bound key
    bool m_refused = false;
    int m_refusal = 0;
    bool m_unavailable = false;
    QString m_unavailableReason;
    bool m_toldUnavailable = false;
};

}  // namespace tarnwick
