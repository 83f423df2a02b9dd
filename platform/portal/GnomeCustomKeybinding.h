#pragma once

#include <QString>

namespace tarnwick {

// GNOME before 48 has no shortcut portal. What it has are custom keybindings in its settings,
// each a command that the desktop runs on a key; ours runs `tarnwick --activate`. Added and
// removed only with the user's consent. All of these read and write the user's GSettings
// (dconf), so they see what GNOME's own keyboard settings show.
class GnomeCustomKeybinding {
public:
    // Where ours lives among the relocatable custom-keybinding schemas.
    static constexpr const char* kPath =
        "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/tarnwick/";

    // GNOME's keybinding schemas are installed, so a keybinding can be added.
    static bool isOffered();
    // Ours is in GNOME's list of custom keybindings.
    static bool isInstalled();
    // Adds ours (or updates it): `accelerator` in GNOME's notation ("<Control><Shift>space"),
    // `command` a shell command line. False with a reason in `error` when it cannot.
    static bool install(const QString& name, const QString& command, const QString& accelerator,
                        QString* error = nullptr);
    // Takes ours out of the list and clears its keys; true when nothing of it remains.
    static bool remove(QString* error = nullptr);

    // The command line that runs this program's activation: its own path, quoted for a shell.
    static QString activateCommand();
};

}  // namespace tarnwick
