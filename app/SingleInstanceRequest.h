#pragma once

#include <QByteArray>
#include <QString>

namespace tarnwick {

// What a start of the tray application asks for: `tarnwick`, `tarnwick --activate`,
// `tarnwick --settings` or `tarnwick FOLDER`. The same request goes to the running instance when
// there is one.
struct StartRequest {
    enum class Kind {
        plain,           // just be running
        activateSearch,  // run the activation flow (a desktop keybinding's command)
        openFolder,      // open a panel on `folder`
        openSettings,    // show the settings window
    };
    Kind kind = Kind::plain;
    QByteArray folder;  // absolute, without symbolic links, for openFolder
    // What the desktop gave this start to let its window take the focus (XDG_ACTIVATION_TOKEN on
    // Wayland, DESKTOP_STARTUP_ID on X11); empty when none.
    QString activationToken;
};

}  // namespace tarnwick
