#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tarnwick {

// Moves `path` into the home trash below `userDataDir` as the freedesktop.org trash describes
// it, reaching the item through folder descriptors: for paths longer than PATH_MAX, which GIO's
// g_file_trash (whole paths only) cannot take. The info file is claimed first (O_EXCL) so that
// two trashings never share a name, then the item moves in one rename; an item on another volume
// than the home trash is refused with the reason. Nothing on success.
std::optional<QString> trashThroughDescriptors(const QByteArray& path,
                                               const QByteArray& userDataDir);

}  // namespace tarnwick
