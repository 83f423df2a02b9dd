#pragma once

#include "ContentMatch.h"
#include "CountLabel.h"
#include "DirectoryListing.h"
#include "ExtensionPills.h"
#include "FileItem.h"
#include "KeptListings.h"
#include "Listing.h"
#include "Results.h"
#include "SearchEngines.h"
#include "SearchMode.h"
#include "SearchScope.h"
#include "SortMode.h"
#include "WorkQueue.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace tarnwick {

// One pill of the row as the panel draws it.
struct PillState {
    Pill pill;
    bool on = false;
};

// The living search behind one panel: lists the folder, asks the index how large it is, chooses
// hybrid or index-only mode, filters on every keystroke and publishes the newest results, merges
// content hits, narrows by pills and fetches snippets. Lives on the main thread; background work
// (listing, filter runs, snippets) gets copies and hands results back through queued calls that
// find the session gone or the result stale and then do nothing.
//
// The panel owns one, forwards the user's edits and choices to it, and draws what it publishes.
class SearchSession : public QObject {
    Q_OBJECT
public:
    // Extracts a content snippet (any thread): the passage around the query, or nothing.
    using SnippetExtractor =
        std::function<std::optional<QString>(const QByteArray& path, const QString& query)>;
    // Lists a folder (background thread), stopping early once the options' `cancelled` is set.
    using FolderLister =
        std::function<QList<FileItem>(const QByteArray& folder, const ListingOptions& options)>;

    struct Dependencies {
        std::shared_ptr<SearchEngineFactory> engines;
        SnippetExtractor snippet;
        FolderLister lister;  // listDirectory when empty
        int filterDebounceMs = 50;
        int detectionTimeoutMs = 2000;
        // How long a query waits for the index before the search settles without its answer;
        // 0: as long as it takes (a panel shows late hits when they come).
        int indexAnswerTimeoutMs = 0;
        // A search filtered once, as from a terminal: the listing skips what only later runs
        // repay (name ranks, pill counts).
        bool filtersOnce = false;
        // Listings kept between panels, revalidated instead of listed again; none: every
        // search lists its folder afresh.
        std::shared_ptr<KeptListings> kept;
    };

    SearchSession(const QByteArray& folder, Dependencies dependencies, QObject* parent = nullptr);
    ~SearchSession() override;

    // --- What the panel draws -------------------------------------------------------------
    const SearchScope& scope() const { return m_scope; }
    SearchMode searchMode() const { return m_searchMode; }
    const Results& filteredItems() const { return m_filteredItems; }
    const QList<FileItem>& allItems() const;
    const QString& query() const { return m_query; }
    const QString& countText() const { return m_countText; }
    // Two blanks and the scope's display path.
    QString directoryText() const;
    const QList<PillState>& pills() const { return m_pills; }
    const QSet<QString>& selectedExtensions() const { return m_selectedExtensions; }
    SortMode sortMode() const { return m_sortMode; }
    bool isClosed() const { return m_closed; }
    qint64 filterGeneration() const { return m_filterGeneration; }
    // The index's count that made the search index-only; 0 while it is hybrid.
    qint64 indexedCount() const { return m_indexedCount; }
    // Everything started for the current inputs is in: the mode is decided; the listing and the
    // last filter run (hybrid) or the index's items (index-only) are published; the index has
    // answered the query or timed out; no requested snippet is still being extracted.
    bool isSettled() const;
    // The index did not answer the current query in time (see indexAnswerTimeoutMs).
    bool indexTimedOut() const { return m_indexTimedOut; }

    // --- What the panel forwards ----------------------------------------------------------
    // Starts the first search; the panel calls it once its views listen.
    void startSearch();
    // The user edited the query (or a choice was made that re-runs it).
    void queryChanged(const QString& text);
    void sortChanged(SortMode mode);
    // Narrows the results to these extension keys whether or not a pill shows them, as a search
    // from the terminal asks; the search runs again.
    void narrowToExtensions(const QSet<QString>& keys);
    // The pill at `index` was clicked: it flips, and the search runs again.
    void pillTapped(int index);
    // The row the user has selected (-1 for none), so that a re-publication of the same query
    // keeps that item selected instead of jumping to the first row.
    void selectionChanged(int row);
    // The snippet to show for a row while it is drawn: the cached passage, "Content match" while
    // one is being extracted, or nothing for rows matched by name or path.
    std::optional<QString> requestSnippet(const FileItem& item);
    // Steps into a listed folder, or back out; the query is emptied first. goBack() is false when
    // there is nothing to go back to.
    void enterFolder(const QByteArray& folder);
    bool goBack();
    // Shows or hides hidden files in this search alone (it starts with the "showHiddenFiles"
    // preference, which stays as it is); the folder is listed again and the query kept.
    void toggleHiddenFiles();
    bool showsHiddenFiles() const { return m_showHiddenFiles; }
    // Forgets items that no longer exist (moved to the trash), with everything below them.
    void removeItems(const QList<QByteArray>& paths);
    // Stops the engines and the listing; nothing is published afterwards.
    void close();

    // --- The search's own steps (public for tests) -----------------------------------------
    void reloadDirectory();
    void runFilter();

Q_SIGNALS:
    // filteredItems() changed; `selectRow` is the row to select, or -1 for none.
    void resultsReplaced(int selectRow);
    // The snippet of one row arrived: repaint just that row.
    void snippetReady(int row);
    void countTextChanged(const QString& text);
    void pillsChanged();
    // The folder changed: the panel empties its field and shows directoryText().
    void directoryChanged();
    // isSettled() became true (it may be emitted again after later changes).
    void settled();

private:
    struct Detection;

    void startContentEngine();
    void switchToSpotlightOnly(qint64 count);
    void stopDetection();
    void handleCount(Detection* detection, qint64 count, bool finished);
    void deliverListing(quint64 search, ListingPtr listing, QList<Pill> pills);
    void startKeptListing(quint64 search);
    void deliverKept(quint64 search, KeptListingPtr kept, bool replacesListing, bool final);
    void releaseKept();
    void loadAttributes();
    void deliverAttributes(const ListingPtr& base, ListingPtr loaded);
    void applyFilterResults(qint64 generation, Results results);
    void applySpotlightResults(QList<FileItem> list, QList<Pill> pills);
    void queueSpotlightResults(const QList<FileItem>& items);
    void publish(Results results);
    void updateCountLabel();
    void setCountText(const QString& text);
    void rebuildPills(const QList<Pill>& pills);
    void storeSnippet(quint64 queryGeneration, const QByteArray& path, std::optional<QString> text);
    void cancelListing();
    void cancelFilterRun();
    void retire(std::unique_ptr<FullSearchEngine> engine);
    void awaitIndexAnswer(bool awaiting);
    void indexAnswered();
    void checkSettled();

    Dependencies m_deps;
    bool m_showHiddenFiles = false;
    SearchScope m_scope;
    SearchMode m_searchMode = SearchMode::hybrid;
    ListingPtr m_listing;
    KeptListingPtr m_keptInUse;   // held so that the store never drops what is shown
    bool m_revalidating = false;  // a kept listing is shown while its folders are checked
    ListingPtr m_attributesFor;   // the listing whose sizes and dates are being read
    Results m_filteredItems;
    QSet<QByteArray> m_spotlightContentHits;
    QSet<QString> m_selectedExtensions;
    SortMode m_sortMode = SortMode::name;
    QHash<QByteArray, QString> m_snippetCache;
    QSet<QByteArray> m_snippetsPending;
    QString m_query;
    QString m_countText;
    QList<PillState> m_pills;

    std::unique_ptr<FullSearchEngine> m_modeDetector;
    std::unique_ptr<Detection> m_detection;
    std::unique_ptr<ContentHitEngine> m_spotlightEngine;
    std::unique_ptr<FullSearchEngine> m_spotlightFullEngine;
    std::vector<std::unique_ptr<FullSearchEngine>> m_retiredEngines;

    WorkQueue m_filterQueue{1};  // listings and filter runs, one at a time, in order
    QTimer m_filterDebounceTimer;
    QTimer m_indexAnswerTimer;
    qint64 m_filterGeneration = 0;
    qint64 m_shownGeneration = 0;  // the filter run last published
    qint64 m_indexedCount = 0;
    bool m_awaitingIndex = false;  // the current query is out to the index, unanswered
    bool m_indexTimedOut = false;
    quint64 m_searchGeneration = 0;  // one per startSearch: late listings are dropped
    quint64 m_queryGeneration = 0;   // one per queryChanged: late snippets are dropped
    std::shared_ptr<std::atomic<bool>> m_listingCancelled;
    std::shared_ptr<std::atomic<bool>> m_filterRunCancelled;  // the newest run's
    QByteArray m_selectedPath;  // the item at the row the user selected
    QString m_publishedInputs;  // query, sort and pills of the last publication
    bool m_closed = false;
};

}  // namespace tarnwick
