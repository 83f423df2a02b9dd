#pragma once

#include <QByteArray>

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
};

}  // namespace tarnwick
