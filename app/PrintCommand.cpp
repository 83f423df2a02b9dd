#include "PrintCommand.h"

#include "core/DirectoryListing.h"
#include "core/ExtensionKey.h"
#include "core/FilterRun.h"
#include "core/Preferences.h"

#include <QCommandLineParser>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include <dirent.h>
#include <sys/stat.h>

namespace tarnwick {

namespace {

struct PrintOptions {
    QByteArray folder;
    FilterRequest request;
    char terminator = '\n';
};

void complain(const QString& message) {
    std::fprintf(stderr, "tarnwick: %s\n", qPrintable(message));
}

// Why `folder` cannot be searched, or nothing when it can.
std::optional<QString> folderProblem(const QByteArray& folder) {
    const QString shown = QString::fromLocal8Bit(folder);
    struct stat st;
    if (stat(folder.constData(), &st) != 0)
        return shown + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    if (!S_ISDIR(st.st_mode)) return shown + QStringLiteral(": not a folder");
    DIR* dir = opendir(folder.constData());
    if (!dir) return shown + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    closedir(dir);
    return std::nullopt;
}

std::optional<PrintOptions> parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Search a folder and print the results."));
    QCommandLineOption print(QStringLiteral("print"),
                             QStringLiteral("Print results instead of showing a panel."));
    QCommandLineOption sort(QStringLiteral("sort"), QStringLiteral("Order: name, date or size."),
                            QStringLiteral("order"), QStringLiteral("name"));
    QCommandLineOption ext(QStringLiteral("ext"),
                           QStringLiteral("Keep only this extension (or __folder__); repeatable."),
                           QStringLiteral("key"));
    QCommandLineOption nul(QStringLiteral("0"),
                           QStringLiteral("End each result with NUL, not a newline."));
    parser.addOptions({print, sort, ext, nul});
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("The folder to search."));
    parser.addPositionalArgument(QStringLiteral("query"), QStringLiteral("What to look for."),
                                 QStringLiteral("[query]"));
    if (!parser.parse(arguments)) {
        complain(parser.errorText());
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        std::exit(0);
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty() || positional.size() > 2) {
        complain(
            QStringLiteral("usage: tarnwick --print [--sort name|date|size] [--ext KEY]... "
                           "[-0] FOLDER [QUERY]"));
        return std::nullopt;
    }
    PrintOptions options;
    const QString order = parser.value(sort);
    static const QHash<QString, SortMode> kOrders = {
        {QStringLiteral("name"), SortMode::name},
        {QStringLiteral("date"), SortMode::dateModified},
        {QStringLiteral("size"), SortMode::size}};
    if (!kOrders.contains(order)) {
        complain(QStringLiteral("unknown sort order '%1' (name, date or size)").arg(order));
        return std::nullopt;
    }
    options.request.sortMode = kOrders.value(order);
    for (const QString& key : parser.values(ext)) options.request.extensions.insert(key.toLower());
    options.request.query = positional.value(1);
    options.terminator = parser.isSet(nul) ? '\0' : '\n';
    options.folder = QFile::encodeName(positional.first());
    return options;
}

}  // namespace

int runPrintCommand(const QStringList& arguments) {
    std::optional<PrintOptions> options = parse(arguments);
    if (!options) return 2;
    if (auto problem = folderProblem(options->folder)) {
        complain(*problem);
        return 1;
    }
    ListingPtr listing = makeListing(listDirectory(options->folder, nullptr), false);
    const QList<FileItem> results = filterItems(*listing, options->request);

    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    for (const FileItem& item : results) {
        const QByteArray path = item.nativeRelativePath();
        std::fwrite(path.constData(), 1, size_t(path.size()), stdout);
        std::fputc(options->terminator, stdout);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace tarnwick
