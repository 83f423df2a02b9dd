#pragma once

#include "index/MetadataQuery.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

namespace tarnwick {

class ScanEngine;

// The embedded scanner as an index: answers content and name-or-content queries by walking the
// scope in the background and reading the files itself (every format with a text reader:
// formatOfName), matching under the same folding as the desktop index
// (foldForContentMatch), several files at a time, each streamed with bounded memory and left at
// its first hit. Hidden entries (dot names and those a folder's ".hidden" lists) are skipped
// unless the "showHiddenFiles" preference is set.
//
// A count (MetadataPredicate::everything) finishes at once with 0, so that a search never hands
// a whole folder to the scanner. Every query signals only from the event loop after start()
// returned, so connecting before or right after start() makes no difference. A new scanning
// query supersedes the running one of the same index (cancelled within milliseconds, silent
// from then on). The walk of a scope is shared by the queries over it for a minute.
class ScanIndex : public MetadataIndex {
public:
    // True: this file must be scanned (with a desktop index running, the files it cannot have
    // read). Called from a background thread.
    using FileFilter = std::function<bool(const QByteArray& path, qint64 size)>;

    explicit ScanIndex(FileFilter scanOnly = {});
    ~ScanIndex() override;

    std::unique_ptr<MetadataQuery> createQuery(const QByteArray& scope, MetadataPredicate predicate,
                                               const QString& text) override;

    // How long the walk of a scope is reused before the next query walks again.
    void setCatalogLifetime(std::chrono::milliseconds lifetime);

private:
    std::shared_ptr<ScanEngine> m_engine;
};

}  // namespace tarnwick
