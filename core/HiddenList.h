#pragma once

#include <QByteArray>
#include <QSet>

namespace tarnwick {

// Names listed, one per line, in a folder's ".hidden" file: GTK file managers hide them. Only
// the first megabyte or so is read; a missing or unreadable file lists nothing.
QSet<QByteArray> readHiddenList(int folderFd);

}  // namespace tarnwick
