#pragma once

#include "index/DesktopIndex.h"

#include <QObject>
#include <QStringView>

#include <functional>
#include <memory>
#include <optional>

namespace tarnwick {

// Which index answers content and count queries, as named on the command line.
enum class IndexBackend {
    automatic,  // "auto": Tracker, with the scanner for what it cannot read; the scanner elsewhere
    tracker,    // Tracker alone (nothing where it does not run)
    scan,       // the embedded scanner alone
    none,       // no index: names only
};

std::optional<IndexBackend> indexBackendFromName(QStringView name);

// What answers for one folder.
enum class IndexChoice { trackerWithScanner, trackerAlone, scannerAlone, nothing };

IndexChoice chooseIndex(IndexBackend backend, bool trackerRuns, bool trackerCoversFolder);

// Picks, for each folder searched, the index that answers for it, and keeps the indexes it made
// so that every search shares them. Main thread only.
class IndexChooser {
public:
    // `tracker` is null where Tracker is not reachable.
    IndexChooser(IndexBackend backend, std::shared_ptr<DesktopIndex> tracker);
    ~IndexChooser();

    // Connects to Tracker first when the backend may use it, without blocking (a second at most):
    // `done` is called on the main thread while `context` lives.
    static void connectAsync(IndexBackend backend, QObject* context,
                             std::function<void(std::shared_ptr<IndexChooser>)> done);

    IndexChoice choiceFor(const QByteArray& folder) const;
    // Never null.
    std::shared_ptr<MetadataIndex> indexFor(const QByteArray& folder);

private:
    std::shared_ptr<MetadataIndex> scanner();
    std::shared_ptr<MetadataIndex> trackerWithScanner();

    IndexBackend m_backend;
    std::shared_ptr<DesktopIndex> m_tracker;
    std::shared_ptr<MetadataIndex> m_scanner;
    std::shared_ptr<MetadataIndex> m_trackerWithScanner;
    std::shared_ptr<MetadataIndex> m_nothing;
};

}  // namespace tarnwick
