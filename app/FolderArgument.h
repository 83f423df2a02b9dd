#pragma once

#include <QByteArray>

#include <optional>

namespace tarnwick {

// One line on standard error: "tarnwick: MESSAGE".
void complain(const QByteArray& message);

// The folder a command line names (`--print`, `--panel`), as an absolute path without '.' or
// '..' steps or symbolic links, which is how the indexes name what lies below it. When it cannot
// be searched: nothing, after one line on standard error that names it and says why.
std::optional<QByteArray> searchableFolder(const QByteArray& argument);

}  // namespace tarnwick
