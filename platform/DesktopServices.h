#pragma once

#include "FileManagerReveal.h"
#include "FileOpener.h"
#include "Trash.h"

#include <memory>

namespace tarnwick {

// What a panel asks of the desktop for the files it shows.
struct DesktopServices {
    std::shared_ptr<FileOpener> opener;
    std::shared_ptr<FileManagerReveal> reveal;
    std::shared_ptr<Trash> trash;

    // GIO for opening and the trash, org.freedesktop.FileManager1 on the session bus for
    // revealing (opening the parent folder where no file manager answers). Shared by every
    // panel, so that a request outlives the panel that made it.
    static DesktopServices forThisDesktop();
};

}  // namespace tarnwick
