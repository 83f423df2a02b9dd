#pragma once

#include <QByteArray>

namespace tarnwick {

class Translations;

// `tarnwick --panel FOLDER`: opens one search panel on `folder` (byte for byte, as given) in
// this process (no tray, no running instance involved) and returns when the panel closes; its
// QApplication is built from `argc` and `argv` and speaks `translations`. Returns the process exit
// code: 1 for a folder that cannot be searched or no screen to show the panel on.
int runPanelCommand(int& argc, char** argv, const QByteArray& folder, Translations& translations);

}  // namespace tarnwick
