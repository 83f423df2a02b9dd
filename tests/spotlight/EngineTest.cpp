#include "spotlight/SpotlightEngineFactory.h"
#include "tests/support/FakeMetadataQuery.h"
#include "tests/support/TestRunner.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace tarnwick;
using namespace tarnwick::test;
using namespace std::chrono_literals;

namespace {

// Either engine over a fake index, with every delivery recorded as its sorted paths.
struct Engine {
    std::shared_ptr<FakeMetadataIndex> index = std::make_shared<FakeMetadataIndex>();
    std::unique_ptr<ContentHitEngine> content;
    std::unique_ptr<FullSearchEngine> full;
    QStringList delivered;

    Engine(bool isFull, std::chrono::milliseconds debounce = 5ms) {
        SpotlightEngineFactory factory(index, debounce);
        auto deliver = [this](QByteArrayList paths) {
            std::sort(paths.begin(), paths.end());
            delivered.append(QString::fromUtf8(paths.join(' ')));
        };
        if (isFull) {
            full = factory.createFullEngine("/data/");
            full->onResults = [=](const QList<FileItem>& items) {
                QByteArrayList paths;
                for (const FileItem& item : items) paths.append(item.path());
                deliver(paths);
            };
        } else {
            content = factory.createContentEngine("/data/");
            content->onResults = [=](const QSet<QByteArray>& hits) { deliver(hits.values()); };
        }
    }
    void search(const QString& text) { content ? content->search(text) : full->search(text); }
    void stop() { content ? content->stop() : full->stop(); }
    // The query the search creates once its debounce has run out; null when none comes.
    FakeMetadataQuery* searchAndWait(const QString& text) {
        const qsizetype before = index->queryCount();
        search(text);
        return QTest::qWaitFor([&] { return index->queryCount() > before; }, 2000)
                   ? index->lastQuery()
                   : nullptr;
    }
};

}  // namespace

// The content-hit engine and the index-only engine: one debounced live query each.
class EngineTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void kinds_data() {
        QTest::addColumn<bool>("isFull");
        QTest::newRow("content hits") << false;
        QTest::newRow("index only") << true;
    }
    void kinds() {
        QFETCH(bool, isFull);
        Engine e(isFull, kEngineDebounce);
        // Typing within the debounce starts one query, for the last text.
        QElapsedTimer sinceLastKey;
        qint64 waited = -1;
        e.index->onQueryCreated = [&](FakeMetadataQuery&) { waited = sinceLastKey.elapsed(); };
        e.search("inv");
        QTest::qWait(100);
        sinceLastKey.start();
        FakeMetadataQuery* query = e.searchAndWait("invoice");
        QTest::qWait(350);
        QVERIFY(query && e.index->queryCount() == 1);
        QVERIFY2(waited >= 280, qPrintable(QString::number(waited)));  // coarse timers run early
        QCOMPARE(query->record().text, QStringLiteral("invoice"));
        QCOMPARE(query->record().predicate, isFull ? MetadataPredicate::nameOrContentContains
                                                   : MetadataPredicate::contentContains);
        QCOMPARE(query->record().scope, QByteArray("/data"));
        QCOMPARE(query->record().startCalls, 1);
        // Delivered when gathered and on every update, read with updates held back.
        query->setResults({metadataItem("/data/a"), metadataItem("/data/sub/\xff")});
        QVERIFY(e.delivered.isEmpty());
        query->finishGathering();
        query->update({metadataItem("/data/new")});
        QCOMPARE(e.delivered, (QStringList{"/data/a /data/sub/\xff", "/data/new"}));
        QVERIFY(query->record().readsWhileEnabled == 0 && !query->updatesDisabled());
        // A replaced query is stopped, its late notifications are ignored, and it is let go of
        // from the event loop.
        QPointer<FakeMetadataQuery> first = query;
        e.index->onQueryCreated = [&](FakeMetadataQuery&) {
            if (first) first->finishGathering();
        };
        FakeMetadataQuery* second = e.searchAndWait("invoices");
        QVERIFY(second && e.index->record(0).stopCalls == 1);
        QCOMPARE(e.delivered.size(), 2);
        QTRY_VERIFY(!first);
        // An empty text delivers nothing at once and ends the search, a pending one too.
        e.search("in");
        e.search({});
        QCOMPARE(e.delivered.last(), QString());
        QVERIFY(second->isStopped());
        second->finishGathering();
        QTest::qWait(30);
        QVERIFY(e.delivered.size() == 3 && e.index->queryCount() == 2);
        // Stopped, or dropped by its owner from its own callback, an engine stops its query and
        // delivers nothing more.
        QVERIFY(e.searchAndWait("x"));
        e.stop();
        e.index->lastQuery()->finishGathering();
        QVERIFY(e.searchAndWait("y"));
        if (e.content) e.content->onResults = [&](const QSet<QByteArray>&) { e.content.reset(); };
        if (e.full) e.full->onResults = [&](const QList<FileItem>&) { e.full.reset(); };
        e.index->lastQuery()->finishGathering();
        QVERIFY(!e.content && !e.full);
        QCOMPARE(e.index->record(3).stopCalls, 1);
        QTRY_VERIFY(!e.index->query(3));
        QCOMPARE(e.delivered.size(), 3);
    }

    void countsRunThenTheFinalOneOnce_data() {
        QTest::addColumn<int>("inCallback");  // the owner's reaction to the final count
        QTest::newRow("nothing") << 0;
        QTest::newRow("stops the engine") << 1;
        QTest::newRow("destroys the engine") << 2;
    }
    void countsRunThenTheFinalOneOnce() {
        QFETCH(int, inCallback);
        Engine e(true);
        QList<qint64> counts;
        e.full->onCountReady = [&](qint64 count) { counts.append(count); };
        e.full->onFinishedGathering = [&](qint64 count) {
            counts.append(-count);
            if (inCallback == 1) e.full->stop();
            if (inCallback == 2) e.full.reset();
        };
        e.full->startCount();
        FakeMetadataQuery* query = e.index->lastQuery();
        QCOMPARE(query->record().startCalls, 1);
        QCOMPARE(query->record().predicate, MetadataPredicate::everything);
        QCOMPARE(query->record().scope, QByteArray("/data"));
        for (qsizetype count : {3000, 6000}) {
            query->setCount(count);
            query->reportProgress();
        }
        query->setCount(6100);
        query->finishGathering();
        QVERIFY(query->record().stopCalls >= 1);
        query->finishGathering();  // late: nobody listens any more
        query->reportProgress();
        QCOMPARE(counts, (QList<qint64>{3000, 6000, -6100}));
        if (!e.full) return;
        // A replaced or stopped count query is not heard either.
        e.full->startCount();
        QPointer<FakeMetadataQuery> replaced = e.index->lastQuery();
        e.full->startCount();
        QVERIFY(replaced && replaced->isStopped());  // deleted only from the event loop
        replaced->finishGathering();
        e.full->stop();
        QVERIFY(e.index->lastQuery()->isStopped());
        e.index->lastQuery()->finishGathering();
        QCOMPARE(counts.size(), 3);
    }
};

TARNWICK_TEST(EngineTest)
#include "EngineTest.moc"
