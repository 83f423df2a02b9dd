#pragma once

#include "index/MetadataQuery.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>

namespace tarnwick::test {

// What one query gathered, waited for in the event loop.
struct Gathered {
    bool finished = false;
    qsizetype count = 0;
    QList<MetadataItem> items;
    int progressSignals = 0;
    int finishedSignals = 0;

    QSet<QByteArray> paths() const;
    // Paths relative to `scope` ("a/b.txt").
    QSet<QByteArray> relativePaths(const QByteArray& scope) const;
};

constexpr int kGatherTimeoutMs = 60000;

Gathered gather(MetadataIndex& index, const QByteArray& scope, MetadataPredicate predicate,
                const QString& text = {}, int timeoutMs = kGatherTimeoutMs);

// Waits until `query` signals `updated` (true) or the time is up (false).
bool waitForUpdate(MetadataQuery& query, int timeoutMs);

}  // namespace tarnwick::test
