#include "FolderArgument.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <sys/stat.h>

namespace tarnwick {

namespace {

// Why `folder` cannot be searched, or nothing when it can. The name is shown as its bytes, so
// that one which is not valid UTF-8 is still recognisable.
std::optional<QByteArray> folderProblem(const QByteArray& folder) {
    struct stat st;
    if (stat(folder.constData(), &st) != 0) return folder + ": " + std::strerror(errno);
    if (!S_ISDIR(st.st_mode)) return folder + ": not a folder";
    DIR* dir = opendir(folder.constData());
    if (!dir) return folder + ": " + std::strerror(errno);
    closedir(dir);
    return std::nullopt;
}

}  // namespace

void complain(const QByteArray& message) {
    std::fprintf(stderr, "tarnwick: %s\n", message.constData());
}

std::optional<QByteArray> searchableFolder(const QByteArray& argument) {
    if (std::optional<QByteArray> problem = folderProblem(argument)) {
        complain(*problem);
        return std::nullopt;
    }
    char* resolved = realpath(argument.constData(), nullptr);
    if (!resolved) return argument;
    QByteArray path(resolved);
    std::free(resolved);
    return path;
}

}  // namespace tarnwick
