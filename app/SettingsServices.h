#pragma once

#include "FileManagerActions.h"
#include "LoginItem.h"
#include "platform/gnome/GnomeShellExtension.h"

#include <functional>

namespace tarnwick {

// GNOME on Wayland lets no application grab a key, and older versions have no shortcuts portal;
// there the shortcut can only be a custom keybinding in GNOME's own settings, which the
// settings window offers to add with the user's consent.
struct GnomeShortcutOffer {
    std::function<bool()> isOffered;
    std::function<bool()> isInstalled;
    std::function<bool(QString* error)> install;
    std::function<bool(QString* error)> remove;

    bool offered() const { return isOffered && isInstalled && install && remove && isOffered(); }
};

// Tarnwick's GNOME Shell extension, which finds the front Nautilus window, binds the shortcut
// and places the panel on GNOME under Wayland; the settings window says when it is missing and
// offers to enable it.
struct GnomeExtensionOffer {
    std::function<gnomeShellExtension::State()> state;
    std::function<bool(QString* error)> enable;
};

// What the settings window reads and changes, apart from the stored preferences.
struct SettingsServices {
    LoginItem loginItem;
    std::function<FileManagerActions()> fileManagerActions;
    GnomeShortcutOffer gnomeShortcut;
    // Why the shortcut does not work and what to do; empty while it works (or may yet).
    std::function<QString()> shortcutProblem;
    GnomeExtensionOffer gnomeExtension;

    // The real ones: this user's autostart folder and file managers, GNOME's keybindings.
    static SettingsServices forThisApplication();
};

}  // namespace tarnwick
