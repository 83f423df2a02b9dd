#pragma once

namespace tarnwick {

// `tarnwick --panel FOLDER`: opens one search panel on FOLDER in this process (no tray, no
// running instance involved) and returns when the panel closes. Builds its own QApplication
// from the raw arguments, so that a folder name that is not valid UTF-8 survives. Returns the
// process exit code: 2 for a wrong command line, 1 for a folder that cannot be searched.
int runPanelCommand(int& argc, char** argv);

// True when the command line asks for a panel.
bool wantsPanel(int argc, char** argv);

}  // namespace tarnwick
