#include "PrintCommand.h"

#include "FolderArgument.h"
#include "SearchDependencies.h"
#include "core/SearchSession.h"
#include "core/WorkQueue.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace tarnwick {

namespace {

// How long a search from the terminal waits for the index's answer before it prints the name
// matches alone (or, where the index alone would answer, gives up); the scanner reads a large
// tree in well under this.
constexpr std::chrono::milliseconds kIndexAnswerWait = std::chrono::seconds(60);

struct PrintOptions {
    QByteArray folder;
    QString query;
    QSet<QString> extensions;
    SortMode sortMode = SortMode::name;
    IndexBackend index = IndexBackend::automatic;
    char terminator = '\n';
};

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
        complain(parser.errorText().toLocal8Bit());
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        std::exit(0);
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty() || positional.size() > 2) {
        complain(
            "usage: tarnwick --print [--sort name|date|size] [--ext KEY]... [-0] "
            "[--index auto|tracker|scan|none] FOLDER [QUERY]");
        return std::nullopt;
    }
    PrintOptions options;
    const QString order = parser.value(sort);
    static const QHash<QString, SortMode> kOrders = {
        {QStringLiteral("name"), SortMode::name},
        {QStringLiteral("date"), SortMode::dateModified},
        {QStringLiteral("size"), SortMode::size}};
    if (!kOrders.contains(order)) {
        complain(QStringLiteral("unknown sort order '%1' (name, date or size)")
                     .arg(order)
                     .toLocal8Bit());
        return std::nullopt;
    }
    options.sortMode = kOrders.value(order);
    const std::optional<IndexBackend> backend = indexBackendFromName(parser.value(index));
    if (!backend) {
        complain(QStringLiteral("unknown index '%1' (auto, tracker, scan or none)")
                     .arg(parser.value(index))
                     .toLocal8Bit());
        return std::nullopt;
    }
    options.index = *backend;
    for (const QString& key : parser.values(ext)) options.extensions.insert(key.toLower());
    options.query = positional.value(1);
    options.terminator = parser.isSet(nul) ? '\0' : '\n';
    options.folder = QFile::encodeName(positional.first());
    return options;
}

// One result per line: the relative path, and for a row the query reached through the file's
// content, a tab and the passage around the match (or "Content match"), as the panel shows it.
int printResults(const QList<FileItem>& results, QList<std::optional<QString>> passages,
                 char terminator) {
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    for (qsizetype row = 0; row < results.size(); ++row) {
        const QByteArray path = results[row].nativeRelativePath();
        std::fwrite(path.constData(), 1, size_t(path.size()), stdout);
        if (std::optional<QString>& snippet = passages[row]) {
            // A tab in the passage would read as another column.
            const QByteArray passage = snippet->replace(u'\t', u' ').toUtf8();
            std::fputc('\t', stdout);
            std::fwrite(passage.constData(), 1, size_t(passage.size()), stdout);
        }
        std::fputc(terminator, stdout);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// What the settled search found, with a line for each way the index shaped it.
int report(const SearchSession& session, QList<std::optional<QString>> passages,
           const PrintOptions& options) {
    const bool indexAlone = session.searchMode() == SearchMode::spotlightOnly;
    if (indexAlone) {
        complain(options.folder + ": the index holds " +
                 QByteArray::number(session.indexedCount()) +
                 " items here; searching the index alone");
    }
    if (session.indexTimedOut()) {
        if (indexAlone) {
            complain("the index did not answer");
            return 1;
        }
        complain("the index did not answer; matching names only");
    }
    // Without a query the index alone has nothing to show, whatever the listing showed before
    // its count came in.
    if (indexAlone && options.query.isEmpty()) return 0;
    return printResults(session.filteredItems(), std::move(passages), options.terminator);
}

// The search a panel runs, without its debounce, in this process's one event loop: printed once
// it has settled and the passages of its content rows are in.
int search(const PrintOptions& options) {
    // No interface waits on this process: its listing and filtering keep the shell's priority.
    WorkQueue::setYieldToInterface(false);
    SearchSession::Dependencies dependencies;
    if (options.index != IndexBackend::none)
        dependencies = searchDependencies(options.index, std::chrono::milliseconds(0));
    dependencies.filterDebounceMs = 0;
    dependencies.indexAnswerTimeoutMs = int(kIndexAnswerWait.count());
    dependencies.filtersOnce = true;
    SearchSession session(options.folder, std::move(dependencies));
    session.sortChanged(options.sortMode);
    session.narrowToExtensions(options.extensions);
    bool printed = false;
    QObject::connect(&session, &SearchSession::settled, [&] {
        if (printed) return;
        // The passage after each row (none for a row matched by name): those not extracted yet
        // are asked for, and the last of them settles the search again.
        QList<std::optional<QString>> passages;
        passages.reserve(session.filteredItems().size());
        for (const FileItem& item : session.filteredItems())
            passages.append(session.requestSnippet(item));
        if (!session.isSettled()) return;
        printed = true;
        QCoreApplication::exit(report(session, std::move(passages), options));
    });
    session.startSearch();
    session.queryChanged(options.query);
    return QCoreApplication::exec();
}

}  // namespace

int runPrintCommand(const QStringList& arguments) {
    std::optional<PrintOptions> options = parse(arguments);
    if (!options) return 2;
    const std::optional<QByteArray> folder = searchableFolder(options->folder);
    if (!folder) return 1;
    options->folder = *folder;
    return search(*options);
}

}  // namespace tarnwick
