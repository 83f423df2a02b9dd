#include "PrintCommand.h"

#include "FolderArgument.h"
#include "PrintJson.h"
#include "SearchDependencies.h"
#include "core/ItemAttributes.h"
#include "core/SearchSession.h"
#include "core/WorkQueue.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
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

// In name order a row's item, its folder's record and the record's text lie far from the last
// row's, and each is found only through the one before: three waits on memory a row. The rows
// ahead are asked for one stage at a time, so that a row's memory has come in by its turn
// (on the 1M tree this took a sixth off the time spent outside the kernel). Inlined by force: a
// function that only prefetches looks free of effects to GCC, which then drops its calls.
[[gnu::always_inline]] inline void prefetchRowsAhead(const Results& rows, qsizetype row,
                                                     qsizetype end) {
    constexpr qsizetype kStage = 24;
    if (row + 3 * kStage < end) __builtin_prefetch(&rows[row + 3 * kStage]);
    if (row + 2 * kStage < end) __builtin_prefetch(&rows[row + 2 * kStage].folder());
    if (row + kStage < end) {
        const FileItem& item = rows[row + kStage];
        __builtin_prefetch(item.nativeRelativeDirectory().data());
        __builtin_prefetch(item.nativeName().data());
    }
}

// Rows as plain lines: the relative path, and for a row with a passage a tab and the passage.
// Formatted on every core a block at a time and written in order: in name order the rows read
// their folders in no order at all, and the cores wait on memory side by side.
void writePlainRows(const Results& rows, const Passages& passages, char terminator) {
    constexpr qsizetype kRowsPerShare = 16384;
    const int shares = std::max(1, QThread::idealThreadCount());
    std::vector<std::string> texts(static_cast<size_t>(shares));
    for (qsizetype block = 0; block < rows.size() && !ferror_unlocked(stdout);
         block += kRowsPerShare * shares) {
        WorkQueue::runShares(shares, [&](int share) {
            std::string& text = texts[size_t(share)];
            text.clear();
            const qsizetype begin = std::min(rows.size(), block + share * kRowsPerShare);
            const qsizetype end = std::min(rows.size(), begin + kRowsPerShare);
            auto passage = std::lower_bound(passages.begin(), passages.end(), begin,
                                            [](const std::pair<qsizetype, QString>& p,
                                               qsizetype row) { return p.first < row; });
            for (qsizetype row = begin; row < end; ++row) {
                prefetchRowsAhead(rows, row, end);
                const QByteArrayView dir = rows[row].nativeRelativeDirectory();
                const QByteArrayView name = rows[row].nativeName();
                if (!dir.isEmpty()) {
                    text.append(dir.data(), size_t(dir.size()));
                    text.push_back('/');
                }
                text.append(name.data(), size_t(name.size()));
                if (passage != passages.end() && passage->first == row) {
                    // A tab in the passage would read as another column.
                    const QByteArray snippet =
                        QString((passage++)->second).replace(u'\t', u' ').toUtf8();
                    text.push_back('\t');
                    text.append(snippet.constData(), size_t(snippet.size()));
                }
                text.push_back(terminator);
            }
        });
        for (const std::string& text : texts) fwrite_unlocked(text.data(), 1, text.size(), stdout);
    }
}

// Rows as JSON lines. A JSON row tells size and date: read for the printed rows alone, on every
// core, into copies of their items (the listing's own are shared and never written).
void writeJsonRows(const Results& rows, Passages passages, const QString& queryText) {
    QList<FileItem> items = rows.toList();
    readAttributes(items);
    const PreparedQuery query(queryText);
    Matcher matcher(query);
    auto passage = passages.begin();
    for (qsizetype row = 0; row < items.size() && !ferror_unlocked(stdout); ++row) {
        std::optional<QString> snippet;
        if (passage != passages.end() && passage->first == row)
            snippet = std::move((passage++)->second);
        const QByteArray line = resultJson(items[row], matcher, snippet) + '\n';
        fwrite_unlocked(line.constData(), 1, size_t(line.size()), stdout);
    }
}

// One result per line: the relative path, and for a row the query reached through the file's
// content, a tab and the passage around the match (or "Content match"), as the panel shows it;
// or the row as JSON. 0 when something was printed, 1 when nothing matched, 2 when the output
// could not be written; a reader that went away ends the printing quietly.
int printResults(const Results& rows, Passages passages, const PrintOptions& options) {
    static char buffer[1 << 18];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    flockfile(stdout);
    if (options.json)
        writeJsonRows(rows, std::move(passages), options.query);
    else
        writePlainRows(rows, passages, options.terminator);
    funlockfile(stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        if (errno == EPIPE) return 0;
        complain(QCoreApplication::translate("PrintCommand", "cannot write the results: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)))
                     .toLocal8Bit());
        return 2;
    }
    return rows.isEmpty() ? 1 : 0;
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
        const Results& rows = session.filteredItems();
        for (qsizetype row = 0; row < rows.size(); ++row) {
            if (std::optional<QString> passage = session.requestSnippet(rows[row]))
                passages.emplace_back(row, std::move(*passage));
        }
        if (!session.isSettled()) return;
        printed = true;
        const int code = report(session, std::move(passages), options);
        // Everything is written: the system takes back a million items at once, faster than
        // they would be let go one by one.
        std::fflush(nullptr);
        std::_Exit(code);
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
