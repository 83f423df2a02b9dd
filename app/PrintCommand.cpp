#include "PrintCommand.h"

#include "FolderArgument.h"
#include "PrintJson.h"
#include "SearchDependencies.h"
#include "core/ItemAttributes.h"
#include "core/SearchSession.h"
#include "core/WorkQueue.h"

#include <QCoreApplication>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

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
    bool json = false;
};

// The parser has checked every value against the option table's choices.
PrintOptions optionsOf(const cli::Invocation& invocation) {
    static const QHash<QByteArray, SortMode> kOrders = {
        {"name", SortMode::name}, {"date", SortMode::dateModified}, {"size", SortMode::size}};
    PrintOptions options;
    options.folder = invocation.folder;
    options.query = QString::fromLocal8Bit(invocation.query);
    options.sortMode = kOrders.value(invocation.value("--sort"));
    options.index = indexBackendFromName(QString::fromLatin1(invocation.value("--index")))
                        .value_or(IndexBackend::automatic);
    for (const QByteArray& key : invocation.values("--ext"))
        options.extensions.insert(QString::fromLocal8Bit(key).toLower());
    options.terminator = invocation.isSet("-0") ? '\0' : '\n';
    options.json = invocation.isSet("--json");
    return options;
}

// The passages printed after rows the query reached through their content, by row, in row
// order: most rows have none, so a million-row listing keeps no slot for each.
using Passages = std::vector<std::pair<qsizetype, QString>>;

// "relativeDirectory/name" straight into the output buffer: a million rows build no path.
void writeRelativePath(const FileItem& item) {
    const QByteArrayView dir = item.nativeRelativeDirectory();
    const QByteArrayView name = item.nativeName();
    if (!dir.isEmpty()) {
        fwrite_unlocked(dir.data(), 1, size_t(dir.size()), stdout);
        putc_unlocked('/', stdout);
    }
    fwrite_unlocked(name.data(), 1, size_t(name.size()), stdout);
}

// One result per line: the relative path, and for a row the query reached through the file's
// content, a tab and the passage around the match (or "Content match"), as the panel shows it;
// or the row as JSON. 0 when something was printed, 1 when nothing matched, 2 when the output
// could not be written; a reader that went away ends the printing quietly.
int printResults(QList<FileItem> rows, Passages passages, const PrintOptions& options) {
    // A JSON row tells size and date: read for the printed rows alone, on every core.
    if (options.json) readAttributes(rows);
    // Read through a const reference: the list is shared with the session, and any other
    // access would copy it.
    const QList<FileItem>& results = rows;
    static char buffer[1 << 18];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    const PreparedQuery query(options.query);
    Matcher matcher(query);
    auto passage = passages.begin();
    flockfile(stdout);
    for (qsizetype row = 0; row < results.size() && !ferror_unlocked(stdout); ++row) {
        std::optional<QString> snippet;
        if (passage != passages.end() && passage->first == row)
            snippet = std::move((passage++)->second);
        if (options.json) {
            const QByteArray line = resultJson(results[row], matcher, snippet) + '\n';
            fwrite_unlocked(line.constData(), 1, size_t(line.size()), stdout);
            continue;
        }
        writeRelativePath(results[row]);
        if (snippet) {
            // A tab in the passage would read as another column.
            const QByteArray text = snippet->replace(u'\t', u' ').toUtf8();
            putc_unlocked('\t', stdout);
            fwrite_unlocked(text.constData(), 1, size_t(text.size()), stdout);
        }
        putc_unlocked(options.terminator, stdout);
    }
    funlockfile(stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        if (errno == EPIPE) return 0;
        complain(QCoreApplication::translate("PrintCommand", "cannot write the results: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)))
                     .toLocal8Bit());
        return 2;
    }
    return results.isEmpty() ? 1 : 0;
}

// What the settled search found, with a line for each way the index shaped it.
int report(const SearchSession& session, Passages passages, const PrintOptions& options) {
    const bool indexAlone = session.searchMode() == SearchMode::spotlightOnly;
    if (indexAlone) {
        complain(options.folder + ": " +
                 QCoreApplication::translate("PrintCommand",
                                             "the index holds %n items here; searching the index "
                                             "alone",
                                             nullptr, int(session.indexedCount()))
                     .toLocal8Bit());
    }
    if (session.indexTimedOut()) {
        if (indexAlone) {
            complain(QCoreApplication::translate("PrintCommand", "the index did not answer")
                         .toLocal8Bit());
            return 2;
        }
        complain(QCoreApplication::translate("PrintCommand",
                                             "the index did not answer; matching names only")
                     .toLocal8Bit());
    }
    // Without a query the index alone has nothing to show, whatever the listing showed before
    // its count came in.
    if (indexAlone && options.query.isEmpty()) return 1;
    return printResults(session.filteredItems(), std::move(passages), options);
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
        Passages passages;
        const QList<FileItem>& rows = session.filteredItems();
        for (qsizetype row = 0; row < rows.size(); ++row) {
            if (std::optional<QString> passage = session.requestSnippet(rows[row]))
                passages.emplace_back(row, std::move(*passage));
        }
        if (!session.isSettled()) return;
        printed = true;
        QCoreApplication::exit(report(session, std::move(passages), options));
    });
    session.startSearch();
    session.queryChanged(options.query);
    return QCoreApplication::exec();
}

}  // namespace

int runPrintCommand(const cli::Invocation& invocation) {
    // A reader that stops reading (`| head -1`) is a normal end, reported by write's EPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    PrintOptions options = optionsOf(invocation);
    const std::optional<QByteArray> folder = searchableFolder(options.folder);
    if (!folder) return 2;
    options.folder = *folder;
    return search(options);
}

}  // namespace tarnwick
