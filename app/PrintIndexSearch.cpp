#include "PrintIndexSearch.h"

#include "spotlight/SpotlightEngineFactory.h"

#include <QCoreApplication>
#include <QTimer>

namespace tarnwick {

namespace {

// Engines are deleted late (they may be calling back when told to stop): let that happen before
// the next wait or the end of the command.
void deleteRetiredEngines() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

PrintIndexSearch::PrintIndexSearch(IndexBackend backend, const QByteArray& folder)
    : m_chooser(IndexChooser::connectNow(backend)), m_folder(folder) {
    std::shared_ptr<IndexChooser> chooser = m_chooser;
    m_engines = std::make_unique<SpotlightEngineFactory>(
        [chooser](const QByteArray& scope) { return chooser->indexFor(scope); },
        std::chrono::milliseconds(0));
}

PrintIndexSearch::~PrintIndexSearch() {
    m_contentEngine.reset();
    deleteRetiredEngines();
}

void PrintIndexSearch::waitUntil(const bool& done, std::chrono::milliseconds bound) {
    if (done) return;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &m_loop, &QEventLoop::quit);
    timeout.start(bound);
    m_loop.exec();
}

std::optional<qint64> PrintIndexSearch::count(qint64 decisive, std::chrono::milliseconds bound) {
    std::unique_ptr<FullSearchEngine> counter = m_engines->createFullEngine(m_folder);
    std::optional<qint64> answer;
    bool done = false;
    auto settle = [&](qint64 count) {
        answer = count;
        done = true;
        m_loop.quit();
    };
    counter->onCountReady = [&](qint64 count) {
        if (count > decisive) settle(count);
    };
    counter->onFinishedGathering = settle;
    counter->startCount();
    waitUntil(done, bound);
    counter->stop();
    counter.reset();
    deleteRetiredEngines();
    return answer;
}

void PrintIndexSearch::startContentHits(const QString& query) {
    m_contentEngine = m_engines->createContentEngine(m_folder);
    m_contentEngine->onResults = [this](const QSet<QByteArray>& hits) {
        m_hits = hits;
        m_hitsArrived = true;
        m_loop.quit();
    };
    m_contentEngine->search(query);
}

std::optional<QSet<QByteArray>> PrintIndexSearch::contentHits(std::chrono::milliseconds bound) {
    waitUntil(m_hitsArrived, bound);
    m_contentEngine->stop();
    m_contentEngine.reset();
    deleteRetiredEngines();
    return m_hits;
}

std::optional<QList<FileItem>> PrintIndexSearch::nameOrContent(const QString& query,
                                                               std::chrono::milliseconds bound) {
    std::unique_ptr<FullSearchEngine> engine = m_engines->createFullEngine(m_folder);
    std::optional<QList<FileItem>> answer;
    bool done = false;
    engine->onResults = [&](const QList<FileItem>& items) {
        answer = items;
        done = true;
        m_loop.quit();
    };
    engine->search(query);
    waitUntil(done, bound);
    engine->stop();
    engine.reset();
    deleteRetiredEngines();
    return answer;
}

}  // namespace tarnwick
