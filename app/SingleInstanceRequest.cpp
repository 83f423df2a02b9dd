#include "SingleInstanceRequest.h"

#include <QList>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

namespace tarnwick {

namespace {

ParsedStart usage() {
    return {std::nullopt, "usage: tarnwick [--activate | --settings | FOLDER]", 2};
}

ParsedStart folderRequest(const QByteArray& folder) {
    char* resolved = realpath(folder.constData(), nullptr);
    if (!resolved) return {std::nullopt, folder + ": " + std::strerror(errno), 1};
    const QByteArray path(resolved);
    std::free(resolved);
    struct stat st;
    if (stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return {std::nullopt, folder + ": not a folder", 1};
    return {StartRequest{StartRequest::Kind::openFolder, path}, {}, 0};
}

}  // namespace

ParsedStart parseStartRequest(int argc, char** argv) {
    QList<QByteArray> options;
    QList<QByteArray> operands;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (!optionsEnded && argument == "--")
            optionsEnded = true;
        else if (!optionsEnded && argument.startsWith('-') && argument.size() > 1)
            options.append(argument);
        else
            operands.append(argument);
    }
    if (options.isEmpty() && operands.isEmpty()) return {StartRequest{}, {}, 0};
    if (options == QList<QByteArray>{"--activate"} && operands.isEmpty())
        return {StartRequest{StartRequest::Kind::activateSearch, {}}, {}, 0};
    if (options == QList<QByteArray>{"--settings"} && operands.isEmpty())
        return {StartRequest{StartRequest::Kind::openSettings, {}}, {}, 0};
    if (options.isEmpty() && operands.size() == 1) return folderRequest(operands.first());
    return usage();
}

}  // namespace tarnwick
