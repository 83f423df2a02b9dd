#include "SearchSession.h"

#include "DirectoryListing.h"
#include "ExtensionKey.h"
#include "FilterRun.h"
#include "ItemAttributes.h"
#include "MainThread.h"
#include "Preferences.h"
#include "WorkQueue.h"

#include <QCoreApplication>
#include <QMetaMethod>

#include <algorithm>

namespace tarnwick {

namespace {

const QList<FileItem> kNoItems;

// What a publication depends on besides the folder: re-publishing the same inputs keeps the
// user's selection.
QString publicationInputs(const QString& query, SortMode mode, const QSet<QString>& extensions) {
    QStringList keys(extensions.begin(), extensions.end());
    keys.sort();
    return query + QChar(0) + rawValue(mode) + QChar(0) + keys.join(QChar(1));
}

struct CountedListing {
    ListingPtr listing;
    ExtensionCounts counts;
};

// A fresh listing's name ranks and its extension counts, side by side: both only read the names,
// and a new panel's first rows wait for both (counting 100k names took 10-20 ms).
CountedListing makeCountedListing(QList<FileItem> items, bool hasAttributes) {
    CountedListing made;
    const QList<FileItem> counted = items;  // shared, not copied: neither share writes to it
    WorkQueue::runShares(2, [&](int share) {
        if (share == 0)
            made.listing = makeListing(std::move(items), true, hasAttributes);
        else
            made.counts = countExtensions(counted);
    });
    return made;
}

}  // namespace

// One mode detection: settled once by whichever comes first, a large count, the final count or
// the time-out.
struct SearchSession::Detection {
    bool modeDecided = false;
    QTimer timeout;
};

SearchSession::SearchSession(const QByteArray& folder, Dependencies dependencies, QObject* parent)
    : QObject(parent),
      m_deps(std::move(dependencies)),
      m_showHiddenFiles(Preferences::showHiddenFiles()),
      m_scope(folder) {
    ensureMainThreadMailbox();
    m_filterDebounceTimer.setSingleShot(true);
    m_filterDebounceTimer.setInterval(m_deps.filterDebounceMs);
    connect(&m_filterDebounceTimer, &QTimer::timeout, this, &SearchSession::runFilter);
    m_indexAnswerTimer.setSingleShot(true);
    m_indexAnswerTimer.setInterval(m_deps.indexAnswerTimeoutMs);
    connect(&m_indexAnswerTimer, &QTimer::timeout, this, [this] {
        m_awaitingIndex = false;
        m_indexTimedOut = true;
        checkSettled();
    });
}

SearchSession::~SearchSession() {
    close();
    m_filterQueue.waitForDone();
}

const QList<FileItem>& SearchSession::allItems() const {
    return m_listing ? m_listing->items : kNoItems;
}

QString SearchSession::directoryText() const {
    return QStringLiteral("  ") + m_scope.displayPath();
}

// --- Lifecycle and mode selection -----------------------------------------------------------

void SearchSession::startSearch() {
    if (m_closed) return;
    stopDetection();
    setCountText(loadingText());
    const quint64 search = ++m_searchGeneration;
    m_listingCancelled = std::make_shared<std::atomic<bool>>(false);
    m_attributesFor.reset();
    QPointer<SearchSession> self(this);
    if (m_deps.kept && !m_deps.filtersOnce)
        startKeptListing(search);
    else
        m_filterQueue.start([self, search, folder = m_scope.currentDirectory(),
                             cancelled = m_listingCancelled, lister = m_deps.lister,
                             hidden = m_showHiddenFiles, once = m_deps.filtersOnce,
                             attributes = needsAttributes(m_sortMode)] {
            ListingOptions options;
            options.showHiddenFiles = hidden;
            options.cancelled = cancelled.get();
            QList<FileItem> items =
                lister ? lister(folder, options) : listDirectory(folder, options);
            // An order by date or size known from the start reads them now, not in a second pass.
            if (attributes) readAttributes(items, cancelled.get());
            if (cancelled->load()) return;
            // Pills and name ranks grow with the folder: worked out here, not on the main thread.
            QList<Pill> pills;
            ListingPtr listing;
            if (once) {
                listing = makeListing(std::move(items), false, attributes);
            } else {
                CountedListing made = makeCountedListing(std::move(items), attributes);
                pills = pillsFor(made.counts, true);
                listing = std::move(made.listing);
            }
            postToMainThread(self, [search, listing, pills](SearchSession* s) {
                s->deliverListing(search, listing, pills);
            });
        });

    if (m_deps.engines)
        m_modeDetector = m_deps.engines->createFullEngine(m_scope.currentDirectory());
    m_detection = std::make_unique<Detection>();
    Detection* detection = m_detection.get();
    if (m_modeDetector) {
        detection->timeout.setSingleShot(true);
        detection->timeout.setInterval(m_deps.detectionTimeoutMs);
        connect(&detection->timeout, &QTimer::timeout, this, [this, detection] {
            if (detection != m_detection.get() || detection->modeDecided) return;
            detection->modeDecided = true;
            stopDetection();  // the mode stays hybrid
            checkSettled();
        });
        detection->timeout.start();
        m_modeDetector->onCountReady = [self, detection](qint64 count) {
            if (self) self->handleCount(detection, count, false);
        };
        m_modeDetector->onFinishedGathering = [self, detection](qint64 count) {
            if (self) self->handleCount(detection, count, true);
        };
    }
    m_searchMode = SearchMode::hybrid;
    startContentEngine();
    if (m_modeDetector) m_modeDetector->startCount();
}

void SearchSession::handleCount(Detection* detection, qint64 count, bool finished) {
    if (m_closed || detection != m_detection.get() || !m_modeDetector || detection->modeDecided)
        return;
    if (!finished && count <= kSpotlightOnlyThreshold) return;
    detection->modeDecided = true;
    detection->timeout.stop();
    stopDetection();
    if (count > kSpotlightOnlyThreshold) {
        m_searchMode = SearchMode::spotlightOnly;
        switchToSpotlightOnly(count);
    }
    checkSettled();
}

void SearchSession::stopDetection() {
    if (!m_modeDetector) return;
    m_modeDetector->stop();
    // The detector may be calling us right now: let it return before it is destroyed.
    retire(std::move(m_modeDetector));
}

void SearchSession::retire(std::unique_ptr<FullSearchEngine> engine) {
    m_retiredEngines.push_back(std::move(engine));
    QMetaObject::invokeMethod(
        this, [this] { m_retiredEngines.clear(); }, Qt::QueuedConnection);
}

void SearchSession::startContentEngine() {
    if (m_spotlightEngine) m_spotlightEngine->stop();
    m_spotlightEngine.reset();
    if (!m_deps.engines) return;
    m_spotlightEngine = m_deps.engines->createContentEngine(m_scope.currentDirectory());
    QPointer<SearchSession> self(this);
    m_spotlightEngine->onResults = [self](const QSet<QByteArray>& hits) {
        if (!self || self->m_closed) return;
        self->m_spotlightContentHits = hits;
        if (self->m_searchMode == SearchMode::hybrid) self->indexAnswered();
        self->runFilter();
    };
}

void SearchSession::switchToSpotlightOnly(qint64 count) {
    // Its result would be thrown away, and it would hold up every run queued behind it; so
    // would the content hits of a query typed meanwhile.
    cancelListing();
    if (m_spotlightEngine) m_spotlightEngine->stop();
    if (m_spotlightFullEngine) retire(std::move(m_spotlightFullEngine));
    m_spotlightFullEngine = m_deps.engines->createFullEngine(m_scope.currentDirectory());
    QPointer<SearchSession> self(this);
    m_spotlightFullEngine->onResults = [self](const QList<FileItem>& items) {
        if (self && !self->m_closed) self->queueSpotlightResults(items);
    };
    m_indexedCount = count;
    setCountText(typeToSearchText(count));
    // A query typed while the index was counting goes to it now.
    awaitIndexAnswer(!m_query.isEmpty());
    if (!m_query.isEmpty()) m_spotlightFullEngine->search(m_query);
}

void SearchSession::deliverListing(quint64 search, ListingPtr listing, QList<Pill> pills) {
    // A listing of a folder the user has left, or one overtaken by the switch to the index.
    if (m_closed || search != m_searchGeneration || m_searchMode == SearchMode::spotlightOnly)
        return;
    m_listing = std::move(listing);
    // Runs queued before the listing worked on no items: their results are stale.
    ++m_filterGeneration;
    rebuildPills(pills);
    // The engines already have the query: only the filter runs, at once (the pause is for
    // typing, and the first rows of a new panel wait for this run).
    m_filterDebounceTimer.stop();
    runFilter();
}

// Off the filter queue, so that the runs over the kept list shown meanwhile are not held up by
// its revalidation.
void SearchSession::startKeptListing(quint64 search) {
    m_revalidating = true;
    QPointer<SearchSession> self(this);
    WorkQueue::shared().start([self, search, kept = m_deps.kept, cancelled = m_listingCancelled,
                               folder = m_scope.currentDirectory(), hidden = m_showHiddenFiles] {
        auto post = [&](KeptListingPtr listing, bool replaces, bool final) {
            postToMainThread(
                self, [=](SearchSession* s) { s->deliverKept(search, listing, replaces, final); });
        };
        RevalidationOptions options;
        options.cancelled = cancelled.get();
        if (KeptListingPtr found = kept->find(folder, hidden)) {
            KeptListingPtr shown = found;
            if (found->root != folder) {  // a folder below the kept one: shown as it was kept
                options.trustAll = true;
                shown = revalidate(found, folder, options).kept;
                options.trustAll = false;
            }
            if (shown) post(shown, true, false);
            Revalidation result = revalidate(found, folder, options);
            if (cancelled->load()) return;
            if (result.kept) {
                kept->keep(result.kept);
                post(result.kept, result.changed || !shown, true);
                return;
            }
        }
        std::vector<KeptFolder> folders;
        ListingOptions listingOptions;
        listingOptions.showHiddenFiles = hidden;
        listingOptions.cancelled = cancelled.get();
        listingOptions.folders = &folders;
        QList<FileItem> items = listDirectory(folder, listingOptions);
        if (cancelled->load()) return;
        auto fresh = std::make_shared<KeptListing>();
        CountedListing made = makeCountedListing(std::move(items), false);
        fresh->counts = std::move(made.counts);
        fresh->pills = pillsFor(fresh->counts, true);
        fresh->listing = std::move(made.listing);
        post(fresh, true, true);
        // Kept after it is shown: its footprint only matters to the next panel.
        KeptListingPtr stamped =
            keepListing(folder, hidden, fresh->listing, fresh->counts, std::move(folders));
        kept->keep(stamped);
        post(stamped, false, false);
    });
}

void SearchSession::deliverKept(quint64 search, KeptListingPtr kept, bool replacesListing,
                                bool final) {
    if (m_closed || search != m_searchGeneration) return;
    m_keptInUse = std::move(kept);
    if (final) m_revalidating = false;
    if (replacesListing)
        deliverListing(search, m_keptInUse->listing, m_keptInUse->pills);
    else
        checkSettled();
}

void SearchSession::releaseKept() {
    m_revalidating = false;
    if (!m_keptInUse) return;
    m_keptInUse.reset();
    m_deps.kept->trim();
}

void SearchSession::reloadDirectory() {
    releaseKept();
    stopDetection();
    if (m_spotlightEngine) m_spotlightEngine->stop();
    if (m_spotlightFullEngine) m_spotlightFullEngine->stop();
    cancelListing();
    // A run over the folder being left must not publish into the new one.
    cancelFilterRun();
    ++m_filterGeneration;
    m_filterDebounceTimer.stop();
    m_spotlightContentHits.clear();
    m_selectedExtensions.clear();
    m_listing.reset();
    m_filteredItems = {};
    m_snippetCache.clear();
    m_snippetsPending.clear();
    m_publishedInputs.clear();
    m_selectedPath.clear();
    Q_EMIT resultsReplaced(-1);
    Q_EMIT directoryChanged();
    startSearch();
}

void SearchSession::toggleHiddenFiles() {
    if (m_closed) return;
    m_showHiddenFiles = !m_showHiddenFiles;
    reloadDirectory();
}

void SearchSession::enterFolder(const QByteArray& folder) {
    m_query.clear();
    m_scope.push(folder);
    reloadDirectory();
}

bool SearchSession::goBack() {
    if (!m_scope.pop()) return false;
    m_query.clear();
    reloadDirectory();
    return true;
}

void SearchSession::cancelListing() {
    if (m_listingCancelled) m_listingCancelled->store(true);
}

void SearchSession::cancelFilterRun() {
    if (m_filterRunCancelled) m_filterRunCancelled->store(true);
}

void SearchSession::close() {
    if (m_closed) return;
    m_closed = true;
    releaseKept();
    stopDetection();
    if (m_spotlightEngine) m_spotlightEngine->stop();
    if (m_spotlightFullEngine) m_spotlightFullEngine->stop();
    cancelListing();
    cancelFilterRun();
    m_filterDebounceTimer.stop();
    m_filterQueue.clear();
}

// --- Filtering and publication ----------------------------------------------------------------

void SearchSession::queryChanged(const QString& text) {
    if (m_closed) return;
    m_query = text;
    ++m_queryGeneration;
    m_snippetCache.clear();
    m_snippetsPending.clear();
    if (m_searchMode == SearchMode::hybrid) {
        if (m_spotlightEngine) {
            awaitIndexAnswer(!text.isEmpty());
            m_spotlightEngine->search(text);
        }
        m_filterDebounceTimer.start();
        return;
    }
    awaitIndexAnswer(!text.isEmpty() && m_spotlightFullEngine);
    if (text.isEmpty()) {
        if (m_spotlightFullEngine) m_spotlightFullEngine->stop();
        publish({});
        checkSettled();
    } else if (m_spotlightFullEngine) {
        m_spotlightFullEngine->search(text);
    }
}

void SearchSession::runFilter() {
    // Until the listing is in there is nothing to filter; its arrival runs the query.
    if (m_closed || !m_listing || m_searchMode != SearchMode::hybrid) return;
    // The list keeps its previous order until every size and date is in; their arrival runs
    // the query again, so that the new order is published once.
    if (needsAttributes(m_sortMode) && !m_listing->hasAttributes) {
        loadAttributes();
        return;
    }
    const qint64 generation = ++m_filterGeneration;
    FilterRequest request{m_query, m_spotlightContentHits, m_selectedExtensions, m_sortMode};
    // The run before this one can only be dropped now: it stops rather than finishes.
    cancelFilterRun();
    m_filterRunCancelled = std::make_shared<std::atomic<bool>>(false);
    QPointer<SearchSession> self(this);
    m_filterQueue.start([self, generation, listing = m_listing, request = std::move(request),
                         cancelled = m_filterRunCancelled] {
        Results results = filterItems(listing, request, [&cancelled] { return cancelled->load(); });
        if (cancelled->load()) return;
        postToMainThread(self,
                         [generation, results = std::move(results)](SearchSession* s) mutable {
                             s->applyFilterResults(generation, std::move(results));
                         });
    });
}

void SearchSession::loadAttributes() {
    if (m_attributesFor == m_listing) return;  // already on their way
    m_attributesFor = m_listing;
    QPointer<SearchSession> self(this);
    m_filterQueue.start([self, base = m_listing, cancelled = m_listingCancelled] {
        ListingPtr loaded = withAttributes(*base, cancelled.get());
        if (!loaded) return;
        postToMainThread(self,
                         [base, loaded](SearchSession* s) { s->deliverAttributes(base, loaded); });
    });
}

void SearchSession::deliverAttributes(const ListingPtr& base, ListingPtr loaded) {
    // Read for a listing since left, or dropped by a new search: nothing to do.
    if (m_closed || base != m_attributesFor) return;
    m_attributesFor.reset();
    // A listing changed meanwhile (items removed) has its own read started by the next run.
    if (base == m_listing) m_listing = std::move(loaded);
    runFilter();
}

void SearchSession::applyFilterResults(qint64 generation, Results results) {
    if (m_closed || generation != m_filterGeneration) return;
    m_shownGeneration = generation;
    publish(std::move(results));
    checkSettled();
}

void SearchSession::queueSpotlightResults(const QList<FileItem>& items) {
    QPointer<SearchSession> self(this);
    m_filterQueue.start([self, items, search = m_searchGeneration,
                         extensions = m_selectedExtensions, mode = m_sortMode] {
        QList<FileItem> shown = narrowAndSort(items, extensions, mode);
        QList<Pill> pills = countPills(items, false);
        postToMainThread(self, [search, shown, pills](SearchSession* s) {
            if (search == s->m_searchGeneration) s->applySpotlightResults(shown, pills);
        });
    });
}

void SearchSession::applySpotlightResults(QList<FileItem> list, QList<Pill> pills) {
    if (m_closed || m_searchMode != SearchMode::spotlightOnly) return;
    // A chosen pill stays visible with its state while the user types.
    if (m_selectedExtensions.isEmpty()) rebuildPills(pills);
    indexAnswered();
    publish(Results::ofItems(std::move(list)));
    checkSettled();
}

void SearchSession::publish(Results results) {
    const QString inputs = publicationInputs(m_query, m_sortMode, m_selectedExtensions);
    int selectRow = results.isEmpty() ? -1 : 0;
    // The same search published again (content hits, index updates): keep what the user chose,
    // so that Return never opens a file they did not select.
    if (inputs == m_publishedInputs && !m_selectedPath.isEmpty()) {
        for (qsizetype row = 0; row < results.size(); ++row) {
            if (results[row].hasPath(m_selectedPath)) {
                selectRow = int(row);
                break;
            }
        }
    }
    m_publishedInputs = inputs;
    m_filteredItems = std::move(results);
    m_selectedPath = selectRow >= 0 ? m_filteredItems[selectRow].path() : QByteArray();
    Q_EMIT resultsReplaced(selectRow);
    updateCountLabel();
}

void SearchSession::selectionChanged(int row) {
    m_selectedPath =
        row >= 0 && row < m_filteredItems.size() ? m_filteredItems[row].path() : QByteArray();
}

void SearchSession::updateCountLabel() {
    setCountText(countLabelText(m_searchMode, m_query.isEmpty(), m_selectedExtensions.isEmpty(),
                                m_filteredItems.size(), allItems().size()));
}

void SearchSession::setCountText(const QString& text) {
    m_countText = text;
    Q_EMIT countTextChanged(text);
}

void SearchSession::sortChanged(SortMode mode) {
    m_sortMode = mode;
    queryChanged(m_query);
}

void SearchSession::narrowToExtensions(const QSet<QString>& keys) {
    m_selectedExtensions = keys;
    queryChanged(m_query);
}

// --- Settling -------------------------------------------------------------------------------

bool SearchSession::isSettled() const {
    if (m_closed || m_modeDetector || m_awaitingIndex || !m_snippetsPending.isEmpty()) return false;
    if (m_searchMode == SearchMode::spotlightOnly) return true;
    return m_listing && !m_attributesFor && !m_revalidating && !m_filterDebounceTimer.isActive() &&
           m_shownGeneration == m_filterGeneration;
}

void SearchSession::awaitIndexAnswer(bool awaiting) {
    m_awaitingIndex = awaiting;
    m_indexTimedOut = false;
    if (awaiting && m_deps.indexAnswerTimeoutMs > 0)
        m_indexAnswerTimer.start();
    else
        m_indexAnswerTimer.stop();
}

void SearchSession::indexAnswered() {
    m_awaitingIndex = false;
    m_indexAnswerTimer.stop();
}

void SearchSession::checkSettled() {
    if (isSettled()) Q_EMIT settled();
}

void SearchSession::removeItems(const QList<QByteArray>& paths) {
    if (m_closed || paths.isEmpty()) return;
    if (m_listing) m_listing = withoutPaths(*m_listing, paths);
    queryChanged(m_query);
}

// --- Pills ---------------------------------------------------------------------------------

void SearchSession::rebuildPills(const QList<Pill>& pills) {
    m_pills.clear();
    // Counts that come again (a revalidated listing) keep the pills the user chose.
    for (const Pill& pill : pills)
        m_pills.append({pill, pill.key.isEmpty() ? m_selectedExtensions.isEmpty()
                                                 : m_selectedExtensions.contains(pill.key)});
    Q_EMIT pillsChanged();
}

void SearchSession::pillTapped(int index) {
    if (m_closed || index < 0 || index >= m_pills.size()) return;
    PillState& tapped = m_pills[index];
    if (tapped.pill.key.isEmpty()) {
        m_selectedExtensions.clear();
        for (PillState& pill : m_pills) pill.on = false;
        tapped.on = true;
    } else {
        tapped.on = !tapped.on;
        if (tapped.on)
            m_selectedExtensions.insert(tapped.pill.key);
        else
            m_selectedExtensions.remove(tapped.pill.key);
        if (m_pills.first().pill.key.isEmpty()) m_pills.first().on = m_selectedExtensions.isEmpty();
    }
    Q_EMIT pillsChanged();
    queryChanged(m_query);
}

// --- Snippets ------------------------------------------------------------------------------

std::optional<QString> SearchSession::requestSnippet(const FileItem& item) {
    if (!wantsSnippet(item, m_query, m_searchMode, m_spotlightContentHits)) return std::nullopt;
    const QByteArray path = item.path();
    if (auto cached = m_snippetCache.constFind(path); cached != m_snippetCache.constEnd())
        return *cached;
    if (!m_deps.snippet || m_snippetsPending.contains(path)) return contentMatchText();
    m_snippetsPending.insert(path);
    QPointer<SearchSession> self(this);
    WorkQueue::shared().start(
        [self, extract = m_deps.snippet, path, query = m_query, generation = m_queryGeneration] {
            std::optional<QString> text = extract(path, query);
            postToMainThread(self, [generation, path, text](SearchSession* s) {
                s->storeSnippet(generation, path, text);
            });
        });
    return contentMatchText();
}

void SearchSession::storeSnippet(quint64 queryGeneration, const QByteArray& path,
                                 std::optional<QString> text) {
    // Extracted for a query that has changed since: not this list's passage.
    if (m_closed || queryGeneration != m_queryGeneration) return;
    m_snippetsPending.remove(path);
    m_snippetCache.insert(path, text.value_or(contentMatchText()));
    // Finding the row is a pass over the results: worth it only for a view that repaints it.
    static const QMetaMethod ready = QMetaMethod::fromSignal(&SearchSession::snippetReady);
    for (qsizetype row = 0; isSignalConnected(ready) && row < m_filteredItems.size(); ++row) {
        if (m_filteredItems[row].hasPath(path)) {
            Q_EMIT snippetReady(int(row));
            break;
        }
    }
    checkSettled();
}

}  // namespace tarnwick
