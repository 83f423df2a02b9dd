#pragma once

#include <QByteArray>

#include <optional>
#include <variant>

namespace tarnwick {

// One line on standard error: "tarnwick: MESSAGE".
void complain(const QByteArray& message);

// Why a folder named on the command line cannot be searched: the name as its bytes (so that one
// which is not valid UTF-8 is still recognisable), ": ", and the reason.
struct FolderProblem {
    QByteArray message;
};

// The folder a command line names (`--print`, `--panel`, `tarnwick FOLDER`), as an absolute path
// without '.' or '..' steps or symbolic links, which is how the indexes name what lies below it;
// or why it cannot be searched.
std::variant<QByteArray, FolderProblem> resolveFolderArgument(const QByteArray& argument);

// The same, saying why on standard error when it cannot be searched.
std::optional<QByteArray> searchableFolder(const QByteArray& argument);

}  // namespace tarnwick
