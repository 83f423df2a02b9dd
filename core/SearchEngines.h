#pragma once

#include "FileItem.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>

namespace tarnwick {

// What a search needs of the content-hit engine: the files below its folder whose text contains
// a query, as native paths. Lives on the main thread; callbacks are called there.
class ContentHitEngine {
public:
    virtual ~ContentHitEngine() = default;
    // Debounced; an empty text stops any query and delivers an empty set at once.
    virtual void search(const QString& text) = 0;
    // Cancels everything pending or running; no callback fires afterwards.
    virtual void stop() = 0;

    std::function<void(const QSet<QByteArray>& hits)> onResults;
};

// What a search needs of the full engine: counting everything the index holds below the folder,
// and answering name-or-content queries with items. Main thread only.
class FullSearchEngine {
public:
    virtual ~FullSearchEngine() = default;
    // Reports the running count through onCountReady, then the final one once through
    // onFinishedGathering.
    virtual void startCount() = 0;
    // Debounced; an empty text stops the search and delivers an empty list at once.
    virtual void search(const QString& text) = 0;
    // Ends any count and any search; no callback fires afterwards.
    virtual void stop() = 0;

    std::function<void(const QList<FileItem>& items)> onResults;
    std::function<void(qint64 count)> onCountReady;
    std::function<void(qint64 count)> onFinishedGathering;
};

// Makes the engines of one search; the application injects the real ones, tests scripted ones.
class SearchEngineFactory {
public:
    virtual ~SearchEngineFactory() = default;
    virtual std::unique_ptr<ContentHitEngine> createContentEngine(const QByteArray& folder) = 0;
    virtual std::unique_ptr<FullSearchEngine> createFullEngine(const QByteArray& folder) = 0;
};

}  // namespace tarnwick
