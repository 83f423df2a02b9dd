#include "SingleInstanceRequest.h"

#include "FolderArgument.h"

#include <QList>

namespace tarnwick {

namespace {

ParsedStart usage() {
    return {std::nullopt, "usage: tarnwick [--activate | --settings | FOLDER]", 2};
}

ParsedStart folderRequest(const QByteArray& argument) {
    std::variant<QByteArray, FolderProblem> folder = resolveFolderArgument(argument);
    if (auto* problem = std::get_if<FolderProblem>(&folder))
        return {std::nullopt, problem->message, 1};
    return {StartRequest{StartRequest::Kind::openFolder, std::get<QByteArray>(folder)}, {}, 0};
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
