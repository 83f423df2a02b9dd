#include "PrintCommand.h"

#include "core/DirectoryListing.h"
#include "core/ExtensionKey.h"
#include "core/FileUri.h"
#include "core/FilterRun.h"
#include "core/Preferences.h"
#include "spotlight/IndexChooser.h"
#include "spotlight/SpotlightSearchEngine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

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

// The content hits of one query, asked of the index while the folder is listed and waited for
// afterwards in an event loop, since the engines live on the main thread.
class ContentHitsWait {
public:
    ContentHitsWait(IndexBackend backend, const QByteArray& folder, const QString& query)
        : m_chooser(IndexChooser::connectNow(backend)),
          m_engine(std::make_unique<SpotlightSearchEngine>(m_chooser->indexFor(folder), folder,
                                                           std::chrono::milliseconds(0))) {
        m_engine->onResults = [this](const QSet<QByteArray>& hits) {
            m_hits = hits;
            m_loop.quit();
        };
        m_engine->search(query);
    }

    // The hits, or nothing when the index did not answer within `bound`.
    std::optional<QSet<QByteArray>> wait(std::chrono::milliseconds bound) {
        if (!m_hits) {
            QTimer::singleShot(bound, &m_loop, &QEventLoop::quit);
            m_loop.exec();
        }
        m_engine.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return m_hits;
    }

private:
    std::shared_ptr<IndexChooser> m_chooser;
    std::unique_ptr<SpotlightSearchEngine> m_engine;
    QEventLoop m_loop;
    std::optional<QSet<QByteArray>> m_hits;
};

}  // namespace

int runPrintCommand(const QStringList& arguments) {
    std::optional<PrintOptions> options = parse(arguments);
    if (!options) return 2;
    if (auto problem = folderProblem(options->folder)) {
        complain(*problem);
        return 1;
    }
    options->folder = absoluteFolder(options->folder);
    std::optional<ContentHitsWait> contentHits;
    if (!options->request.query.isEmpty() && options->index != IndexBackend::none)
        contentHits.emplace(options->index, options->folder, options->request.query);
    ListingPtr listing = makeListing(listDirectory(options->folder, nullptr), false);
    if (contentHits) {
        if (auto hits = contentHits->wait(kContentHitsWait))
            options->request.contentHits = *hits;
        else
            complain(QStringLiteral("the index did not answer; matching names only"));
    }
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
