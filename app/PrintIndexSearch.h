#pragma once

#include "core/FileItem.h"
#include "core/SearchEngines.h"
#include "spotlight/IndexChooser.h"

#include <QByteArray>
#include <QEventLoop>
#include <QList>
#include <QSet>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

namespace tarnwick {

// The index's part in a search from a terminal, through the same engines a panel's search uses.
// The engines live on the main thread, so each answer is waited for in an event loop; a query
// started before the folder is listed runs while the listing does.
class PrintIndexSearch {
public:
    PrintIndexSearch(IndexBackend backend, const QByteArray& folder);
    ~PrintIndexSearch();

    // The number of items the index holds below the folder once it has counted, or as soon as the
    // running count passes `decisive`; nothing when it did not get there within `bound`.
    std::optional<qint64> count(qint64 decisive, std::chrono::milliseconds bound);

    // The files whose text contains `query`: started at once, collected by contentHits().
    void startContentHits(const QString& query);
    std::optional<QSet<QByteArray>> contentHits(std::chrono::milliseconds bound);

    // The index's items whose name or text contains `query`.
    std::optional<QList<FileItem>> nameOrContent(const QString& query,
                                                 std::chrono::milliseconds bound);

private:
    void waitUntil(const bool& done, std::chrono::milliseconds bound);

    std::shared_ptr<IndexChooser> m_chooser;
    std::unique_ptr<SearchEngineFactory> m_engines;
    QByteArray m_folder;
    std::unique_ptr<ContentHitEngine> m_contentEngine;
    std::optional<QSet<QByteArray>> m_hits;
    bool m_hitsArrived = false;
    QEventLoop m_loop;
};

}  // namespace tarnwick
