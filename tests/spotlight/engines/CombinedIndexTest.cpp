#include "spotlight/CombinedIndex.h"
#include "spotlight/SpotlightSearchEngine.h"
#include "tests/support/FakeMetadataQuery.h"
#include "tests/support/TestRunner.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;
using namespace std::chrono_literals;

// Tracker and the scanner's complement, played by two fake indexes.
class CombinedIndexTest : public QObject {
    Q_OBJECT
private:
    std::shared_ptr<FakeMetadataIndex> m_tracker;
    std::shared_ptr<FakeMetadataIndex> m_scanner;
    std::shared_ptr<CombinedIndex> m_index;
    std::unique_ptr<MetadataQuery> m_query;

    FakeMetadataQuery* tracker() const { return m_tracker->lastQuery(); }
    FakeMetadataQuery* scanner() const { return m_scanner->lastQuery(); }
    QByteArrayList resultPaths() const {
        QByteArrayList paths;
        for (const MetadataItem& item : m_query->results()) paths.append(item.path);
        return paths;
    }

private Q_SLOTS:
    void init() {
        m_tracker = std::make_shared<FakeMetadataIndex>();
        m_scanner = std::make_shared<FakeMetadataIndex>();
        m_index = std::make_shared<CombinedIndex>(m_tracker, m_scanner);
        m_query = m_index->createQuery("/s", MetadataPredicate::contentContains, "invoice");
        m_query->start();
    }

    void bothAnswerThePrimaryFirstAndOnceForEachPath() {
        for (const auto* index : {m_tracker.get(), m_scanner.get()}) {
            QCOMPARE(index->queryCount(), 1);
            QCOMPARE(index->record(0).scope, QByteArray("/s"));
            QCOMPARE(index->record(0).predicate, MetadataPredicate::contentContains);
            QCOMPARE(index->record(0).text, QStringLiteral("invoice"));
            QCOMPARE(index->record(0).startCalls, 1);
        }
        tracker()->setResults({metadataItem("/s/b.txt", 1), metadataItem("/s/a.pdf")});
        scanner()->setResults({metadataItem("/s/code.c"), metadataItem("/s/b.txt", 2)});
        QCOMPARE(resultPaths(), (QByteArrayList{"/s/b.txt", "/s/a.pdf", "/s/code.c"}));
        QCOMPARE(m_query->results().first().fileSize, 1);
        QCOMPARE(m_query->resultCount(), 3);
    }

    void theCountIsThePrimarysAlone() {
        auto count = m_index->createQuery("/s", MetadataPredicate::everything, {});
        count->start();
        QCOMPARE(m_scanner->queryCount(), 1);  // only the content query of init()
        tracker()->setCount(7001);
        QCOMPARE(count->resultCount(), 7001);
    }

    void gatheredWhenBothHaveThenUpdatedByEither() {
        QSignalSpy finished(m_query.get(), &MetadataQuery::finishedGathering);
        QSignalSpy updated(m_query.get(), &MetadataQuery::updated);
        tracker()->finishGathering();
        scanner()->update({metadataItem("/s/x")});  // still gathering: not an update yet
        QCOMPARE(finished.count() + updated.count(), 0);
        scanner()->finishGathering();
        tracker()->finishGathering();
        QCOMPARE(finished.count(), 1);
        tracker()->update({metadataItem("/s/t")});
        scanner()->update({metadataItem("/s/s")});
        QCOMPARE(updated.count(), 2);
        QCOMPARE(resultPaths(), (QByteArrayList{"/s/t", "/s/s"}));
    }

    void stoppingStopsBothAndSilencesThem() {
        QSignalSpy finished(m_query.get(), &MetadataQuery::finishedGathering);
        m_query->stop();
        QVERIFY(tracker()->isStopped() && scanner()->isStopped());
        tracker()->finishGathering();
        scanner()->finishGathering();
        QCOMPARE(finished.count(), 0);
    }

    void theContentEngineReadsBothFrozenOnceBothAnswered() {
        SpotlightSearchEngine engine(m_index, "/s", 1ms);
        QList<QSet<QByteArray>> deliveries;
        engine.onResults = [&](const QSet<QByteArray>& hits) { deliveries.append(hits); };
        engine.search(QStringLiteral("invoice"));
        QTRY_COMPARE(m_scanner->queryCount(), 2);
        tracker()->setResults({metadataItem("/s/a.txt")});
        tracker()->finishGathering();
        QVERIFY(deliveries.isEmpty());
        scanner()->setResults({metadataItem("/s/b.c")});
        const int unfrozenReads =
            tracker()->record().readsWhileEnabled + scanner()->record().readsWhileEnabled;
        scanner()->finishGathering();
        QCOMPARE(deliveries, (QList<QSet<QByteArray>>{{"/s/a.txt", "/s/b.c"}}));
        QCOMPARE(tracker()->record().readsWhileEnabled + scanner()->record().readsWhileEnabled,
                 unfrozenReads);
    }
};

TARNWICK_TEST(CombinedIndexTest)
#include "CombinedIndexTest.moc"
