#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace tarnwick {

// What an index is asked below its scope folder.
enum class MetadataPredicate {
    everything,             // every item (only the count is read)
    contentContains,        // text content contains the text, ignoring case and diacritics
    nameOrContentContains,  // file name or text content contains it, ignoring case and diacritics
};

// One result of a query. Paths are native bytes, below the scope exactly as the scope was given
// (a scope reached through a symbolic link is resolved before the index is asked, and its
// results are mapped back).
struct MetadataItem {
    QByteArray path;
    std::optional<qint64> fileSize;
    std::optional<qint64> contentModifiedMsecs;  // preferred
    std::optional<qint64> changedMsecs;          // used when the above is missing
    bool isFolder = false;
};

// A live query over an index, in the manner of the platform metadata queries the engines were
// designed around: started once, reporting gathering progress, the end of gathering, and updates
// while it stays live. Lives on the main thread and signals there; never blocks it.
//
// Signalling contract, which the engines rely on:
// - Signals come from the event loop, never from within start(), stop(), disableUpdates() or
//   enableUpdates(); so a caller may connect after start() and read results without re-entry.
// - finishedGathering is emitted once; `updated` only after it, each time the results changed.
// - For MetadataPredicate::everything, resultCount() is the count so far (0 when nothing is
//   indexed there), and finishedGathering carries the final one.
// - A slot may stop the query or schedule its deletion (deleteLater) while it signals; the
//   query must not be deleted directly from a slot connected to it.
class MetadataQuery : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MetadataQuery() override = default;

    virtual void start() = 0;
    // Ends the query; it signals nothing afterwards.
    virtual void stop() = 0;
    virtual qsizetype resultCount() const = 0;
    // The results gathered so far (empty for MetadataPredicate::everything).
    virtual QList<MetadataItem> results() const = 0;
    // While disabled the results do not change; updates found meanwhile are signalled after
    // enable, from the event loop.
    virtual void disableUpdates() = 0;
    virtual void enableUpdates() = 0;

Q_SIGNALS:
    void gatheringProgress(qsizetype count);
    void finishedGathering();
    void updated();
};

// An index that can answer queries: one per backend (Tracker, the embedded scanner, none).
class MetadataIndex {
public:
    virtual ~MetadataIndex() = default;
    virtual std::unique_ptr<MetadataQuery> createQuery(const QByteArray& scope,
                                                       MetadataPredicate predicate,
                                                       const QString& text) = 0;
};

}  // namespace tarnwick
