#pragma once

#include <QByteArray>

#include <optional>

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

// A request, or why the command line is not one (with the exit code: 2 for a wrong command
// line, 1 for a folder that cannot be searched).
struct ParsedStart {
    std::optional<StartRequest> request;
    QByteArray problem;
    int exitCode = 0;
};

// Reads the raw arguments (after QApplication took its own), byte for byte, so that a folder
// whose name is not valid UTF-8 survives; a relative folder is taken from the working folder.
ParsedStart parseStartRequest(int argc, char** argv);

}  // namespace tarnwick
