#include "PrintCommand.h"

#include "PrintIndexSearch.h"
#include "core/ContentMatch.h"
#include "core/DirectoryListing.h"
#include "core/ExtensionKey.h"
#include "core/FileUri.h"
#include "core/FilterRun.h"
#include "core/Preferences.h"
#include "spotlight/ContentSnippet.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

namespace {

// How long a search from the terminal waits for the index's content hits before it prints the
// name matches alone; the scanner reads a large tree in well under this.
constexpr std::chrono::seconds kContentHitsWait{60};
// How long the index may take to count the folder before it is listed on disk, as in a panel.
constexpr std::chrono::seconds kIndexCountWait{2};

struct PrintOptions {
    QByteArray folder;
    FilterRequest request;
    IndexBackend index = IndexBackend::automatic;
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

// `folder` made absolute without trailing '/', so that the index's paths and the listing's meet.
QByteArray absoluteFolder(QByteArray folder) {
    if (!folder.startsWith('/')) {
        char* cwd = getcwd(nullptr, 0);
        if (cwd) folder.prepend(QByteArray(cwd) + '/');
        std::free(cwd);
    }
    return withoutTrailingSlashes(folder);
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
    QCommandLineOption index(
        QStringLiteral("index"),
        QStringLiteral("Where content hits come from: auto, tracker, scan or none."),
        QStringLiteral("backend"), QStringLiteral("auto"));
    parser.addOptions({print, sort, ext, nul, index});
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
                           "[-0] [--index auto|tracker|scan|none] FOLDER [QUERY]"));
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
    const std::optional<IndexBackend> backend = indexBackendFromName(parser.value(index));
    if (!backend) {
        complain(QStringLiteral("unknown index '%1' (auto, tracker, scan or none)")
                     .arg(parser.value(index)));
        return std::nullopt;
    }
    options.index = *backend;
    for (const QString& key : parser.values(ext)) options.request.extensions.insert(key.toLower());
    options.request.query = positional.value(1);
    options.terminator = parser.isSet(nul) ? '\0' : '\n';
    options.folder = QFile::encodeName(positional.first());
    return options;
}

// One result per line: the relative path, and for a row the query reached through the file's
// content, a tab and the passage around the match (or "Content match"), as the panel shows it.
int printResults(const QList<FileItem>& results, const PrintOptions& options, SearchMode mode) {
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    const QString& query = options.request.query;
    for (const FileItem& item : results) {
        const QByteArray path = item.nativeRelativePath();
        std::fwrite(path.constData(), 1, size_t(path.size()), stdout);
        if (wantsSnippet(item, query, mode, options.request.contentHits)) {
            // A tab in the passage would read as another column.
            const QByteArray snippet = contentSnippet(item.path(), query)
                                           .value_or(kContentMatchText)
                                           .replace(u'\t', u' ')
                                           .toUtf8();
            std::fputc('\t', stdout);
            std::fwrite(snippet.constData(), 1, size_t(snippet.size()), stdout);
        }
        std::fputc(options.terminator, stdout);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// A folder whose index holds too many items to list: the index alone answers, by name or
// content, and without a query there is nothing to show.
int printFromIndexAlone(PrintIndexSearch& index, const PrintOptions& options, qint64 count) {
    complain(QStringLiteral("%1: the index holds %2 items here; searching the index alone")
                 .arg(QString::fromLocal8Bit(options.folder))
                 .arg(count));
    if (options.request.query.isEmpty()) return 0;
    std::optional<QList<FileItem>> items =
        index.nameOrContent(options.request.query, kContentHitsWait);
    if (!items) {
        complain(QStringLiteral("the index did not answer"));
        return 1;
    }
    return printResults(narrowAndSort(*items, options.request.extensions, options.request.sortMode),
                        options, SearchMode::spotlightOnly);
}

}  // namespace

int runPrintCommand(const QStringList& arguments) {
    std::optional<PrintOptions> options = parse(arguments);
    if (!options) return 2;
    if (auto problem = folderProblem(options->folder)) {
        complain(*problem);
        return 1;
    }
    options->folder = absoluteFolder(options->folder);
    const QString& query = options->request.query;
    std::optional<PrintIndexSearch> index;
    if (options->index != IndexBackend::none) {
        index.emplace(options->index, options->folder);
        const std::optional<qint64> count = index->count(kSpotlightOnlyThreshold, kIndexCountWait);
        if (count && *count > kSpotlightOnlyThreshold)
            return printFromIndexAlone(*index, *options, *count);
        if (!query.isEmpty()) index->startContentHits(query);
    }
    ListingPtr listing = makeListing(listDirectory(options->folder, nullptr), false);
    if (index && !query.isEmpty()) {
        if (auto hits = index->contentHits(kContentHitsWait))
            options->request.contentHits = *hits;
        else
            complain(QStringLiteral("the index did not answer; matching names only"));
    }
    return printResults(filterItems(*listing, options->request), *options, SearchMode::hybrid);
}

}  // namespace tarnwick
