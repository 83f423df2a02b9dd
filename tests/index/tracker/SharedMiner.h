#pragma once

#include "index/tracker/TrackerIndex.h"
#include "tests/support/tracker/TrackerSandbox.h"

#include <QMap>
#include <QSet>

namespace tarnwick::test {

// The one miner that the index classes of this program share: it indexes one corpus (made by
// startMiner()) once, and the classes run in this process one after the other.
struct SharedMiner {
    TrackerSandbox sandbox;
    std::unique_ptr<TrackerIndex> index;
    QMap<QByteArray, QString> texts;  // the files whose text the extractor reads, by path

    QByteArray path(const QByteArray& relative) const { return sandbox.corpus() + '/' + relative; }
    // On the bytes: names need not be UTF-8. `text`: remembered as what the extractor reads.
    void write(const QByteArray& relative, const QByteArray& content, bool text = false);
    void remove(const QByteArray& relative);
    // The remembered files below `folder` whose text contains `needle`, folded as the index does.
    QSet<QByteArray> textsContaining(const QString& needle, const QByteArray& folder) const;
};
SharedMiner& miner();
// Writes the corpus and starts the miner; false (and a message) when it cannot.
bool startMiner();

// Below "kinds/": files of many kinds, each ending in a word of its own.
QList<QByteArray> fileKinds();
QByteArray kindWord(const QByteArray& kind);

// What one query gathered, waited for in the event loop.
struct Gathered {
    bool finished = false;
    qsizetype count = 0;
    QSet<QByteArray> paths;
    QList<MetadataItem> items;
    int progressSignals = 0;
    int finishedSignals = 0;
};
Gathered gather(const QByteArray& scope, MetadataPredicate predicate, const QString& text = {});

// Case-folded, compatibility-decomposed, combining marks removed, ß as ss.
QString folded(const QString& text);

}  // namespace tarnwick::test
