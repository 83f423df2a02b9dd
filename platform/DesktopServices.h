#pragma once

#include "FileManagerReveal.h"
#include "FileOpener.h"
#include "PanelPlacer.h"
#include "Trash.h"

#include <functional>
#include <memory>

namespace tarnwick {

// What a panel asks of the desktop for the files it shows.
struct DesktopServices {
    std::shared_ptr<FileOpener> opener;
    std::shared_ptr<FileManagerReveal> reveal;
    std::shared_ptr<Trash> trash;
    // A placer for each panel where the compositor would not place it by the panel's rule
    // (GNOME and Plasma on Wayland); none where Qt places the window itself. It may give none
    // for one panel, when what places windows there is not running (the shell extension off).
    std::function<std::unique_ptr<PanelPlacer>()> makePlacer;

    // GIO for opening and the trash, org.freedesktop.FileManager1 on the session bus for
    // revealing (opening the parent folder where no file manager answers), KWin scripts for
    // placing. Shared by every panel, so that a request outlives the panel that made it.
    static DesktopServices forThisDesktop();
};

}  // namespace tarnwick
