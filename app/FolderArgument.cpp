#include "FolderArgument.h"

#include "Translations.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <sys/stat.h>

namespace tarnwick {

namespace {

std::optional<QByteArray> folderProblem(const QByteArray& folder) {
    struct stat st;
    if (stat(folder.constData(), &st) != 0) return folder + ": " + std::strerror(errno);
    if (!S_ISDIR(st.st_mode))
        return folder + ": " +
               Translations::translate("FolderArgument", "not a folder").toLocal8Bit();
    DIR* dir = opendir(folder.constData());
    if (!dir) return folder + ": " + std::strerror(errno);
    closedir(dir);
    return std::nullopt;
}

}  // namespace

void complain(const QByteArray& message) {
    std::fprintf(stderr, "tarnwick: %s\n", message.constData());
}

std::variant<QByteArray, FolderProblem> resolveFolderArgument(const QByteArray& argument) {
    if (std::optional<QByteArray> problem = folderProblem(argument)) return FolderProblem{*problem};
    char* resolved = realpath(argument.constData(), nullptr);
    if (!resolved) return FolderProblem{argument + ": " + std::strerror(errno)};
    QByteArray path(resolved);
    std::free(resolved);
    return path;
}

std::optional<QByteArray> searchableFolder(const QByteArray& argument) {
    std::variant<QByteArray, FolderProblem> folder = resolveFolderArgument(argument);
    if (auto* problem = std::get_if<FolderProblem>(&folder)) {
        complain(problem->message);
        return std::nullopt;
    }
    return std::get<QByteArray>(std::move(folder));
}

}  // namespace tarnwick
