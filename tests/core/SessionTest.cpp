#include "ScriptedEngines.h"
#include "core/SearchSession.h"
#include "tests/support/TestRunner.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QtTest>

#include <sys/resource.h>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

FileItem file(const QByteArray& relative, qint64 size = 1) {
    return FileItem::fromPath("/s/" + relative, "/s", false, size);
}
FileItem folder(const QByteArray& relative) {
    return FileItem::fromPath("/s/" + relative, "/s", true, 0);
}

QStringList names(const QList<FileItem>& items) {
    QStringList out;
    for (const FileItem& item : items) out.append(QString::fromUtf8(item.nativeRelativePath()));
    return out;
}

// A session over a scripted folder and scripted engines, with short timers.
struct Harness {
    std::shared_ptr<ScriptedEngineFactory> engines = std::make_shared<ScriptedEngineFactory>();
    QList<FileItem> folderItems;
    QSemaphore* hold = nullptr;  // when set, the listing waits for it
    std::unique_ptr<SearchSession> session;

    explicit Harness(QList<FileItem> items, int timeoutMs = 400, bool withEngines = true)
        : folderItems(std::move(items)) {
        SearchSession::Dependencies deps;
        if (withEngines) deps.engines = engines;
        deps.lister = [this](const QByteArray&, const std::atomic<bool>* cancelled) {
            if (hold) {
                while (!hold->tryAcquire(1, 5)) {
                    if (cancelled->load()) return QList<FileItem>();
                }
            }
            return folderItems;
        };
        deps.filterDebounceMs = 50;
        deps.detectionTimeoutMs = timeoutMs;
        session = std::make_unique<SearchSession>("/s", deps);
    }
    bool waitForResults(int timeoutMs = 3000) {
        QSignalSpy spy(session.get(), &SearchSession::resultsReplaced);
        return spy.wait(timeoutMs);
    }
};

}  // namespace

class SessionModeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void smallCountStaysHybridAndShowsTheListing() {
        Harness h({file("a.txt"), file("b.txt")});
        QSignalSpy counts(h.session.get(), &SearchSession::countTextChanged);
        h.session->startSearch();
        QCOMPARE(h.session->countText(), kLoadingText);
        ScriptedFullEngine* detector = h.engines->detector();
        QCOMPARE(detector->countsStarted, 1);
        detector->onCountReady(5000);
        QCOMPARE(h.session->searchMode(), SearchMode::hybrid);
        detector->onFinishedGathering(5000);
        QVERIFY(detector->stops > 0);
        QVERIFY(h.waitForResults());
        QCOMPARE(h.session->searchMode(), SearchMode::hybrid);
        QCOMPARE(h.session->countText(), QStringLiteral("2 items"));
        QCOMPARE(names(h.session->filteredItems()), (QStringList{"a.txt", "b.txt"}));
    }

    void countAboveTheThresholdSwitchesAtOnce() {
        Harness h({file("a.txt")});
        QSemaphore hold;
        h.hold = &hold;
        h.session->startSearch();
        h.engines->detector()->onCountReady(5001);
        QCOMPARE(h.session->searchMode(), SearchMode::spotlightOnly);
        QCOMPARE(h.session->countText(), QString::fromUtf8("5001 items — type to search"));
        QCOMPARE(h.engines->fullEngines.size(), size_t(2));  // detector, then the index-only engine
        // The listing is cancelled, and never adopted even if it finished.
        hold.release();
        QVERIFY(!h.waitForResults(300));
        QVERIFY(h.session->allItems().isEmpty());
    }

    void finalCountDecidesWhenProgressWasSmall() {
        Harness h({});
        h.session->startSearch();
        ScriptedFullEngine* detector = h.engines->detector();
        detector->onCountReady(3000);
        QCOMPARE(h.session->searchMode(), SearchMode::hybrid);
        detector->onFinishedGathering(6000);
        QCOMPARE(h.session->searchMode(), SearchMode::spotlightOnly);
        QCOMPARE(h.session->countText(), QString::fromUtf8("6000 items — type to search"));
    }

    void timeOutKeepsHybridWhateverComesLater() {
        Harness h({file("a")}, 150);
        h.session->startSearch();
        std::shared_ptr<bool> detectorAlive = h.engines->fullAlive.back();
        ScriptedFullEngine* detector = h.engines->detector();
        QVERIFY(h.waitForResults());
        QTest::qWait(250);
        QVERIFY(!*detectorAlive || detector->stops > 0);
        if (*detectorAlive) detector->onFinishedGathering(1'000'000);
        QCOMPARE(h.session->searchMode(), SearchMode::hybrid);
        QCOMPARE(h.engines->fullEngines.size(), size_t(1));
    }

    void anOldDetectionLeavesTheNewOneAlone() {
        Harness h({folder("sub"), file("sub/x")}, 200);
        h.session->startSearch();
        QTest::qWait(100);
        h.session->enterFolder("/s/sub");
        ScriptedFullEngine* second = h.engines->detector();
        QCOMPARE(h.engines->fullEngines.size(), size_t(2));
        QTest::qWait(150);  // the first detection's time-out would have fired by now
        QCOMPARE(second->stops, 0);
        second->onCountReady(7000);
        QCOMPARE(h.session->searchMode(), SearchMode::spotlightOnly);
    }

    void missingFolderEndsWithNoItems() {
        Harness h({});
        h.session->startSearch();
        h.engines->detector()->onFinishedGathering(0);
        QVERIFY(h.waitForResults());
        QCOMPARE(h.session->countText(), QStringLiteral("0 items"));
    }

    void withoutAnIndexTheSearchIsHybrid() {
        Harness h({file("a")}, 2000, false);
        h.session->startSearch();
        QVERIFY(h.waitForResults());
        QCOMPARE(h.session->countText(), QStringLiteral("1 items"));
        h.session->queryChanged(QStringLiteral("a"));
        QVERIFY(h.waitForResults());
        QCOMPARE(h.session->countText(), QStringLiteral("1 of 1"));
    }

    // The listing runs below the interface's priority, and the thread that asked keeps its own.
    void listingYieldsToTheInterface() {
        std::atomic<int> listingNice{-100};
        SearchSession::Dependencies deps;
        deps.lister = [&](const QByteArray&, const std::atomic<bool>*) {
            listingNice = getpriority(PRIO_PROCESS, 0);
            return QList<FileItem>{file("a")};
        };
        const int before = getpriority(PRIO_PROCESS, 0);
        SearchSession session("/s", deps);
        QSignalSpy published(&session, &SearchSession::resultsReplaced);
        session.startSearch();
        QVERIFY(published.wait(3000));
        QVERIFY2(listingNice > before, qPrintable(QString::number(listingNice)));
        QCOMPARE(getpriority(PRIO_PROCESS, 0), before);
    }

    void closingStopsEverythingAndPublishesNothing() {
        Harness h({file("a")});
        QSemaphore hold;
        h.hold = &hold;
        h.session->startSearch();
        ScriptedContentEngine* content = h.engines->content();
        h.session->close();
        QVERIFY(content->stops > 0);
        QSignalSpy results(h.session.get(), &SearchSession::resultsReplaced);
        hold.release();
        h.session->queryChanged(QStringLiteral("a"));
        QVERIFY(!results.wait(300));
        h.session->close();  // twice is harmless
    }
};

class SessionFilterTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keystrokesWithinTheDebounceGiveOneRun() {
        Harness h({file("abc"), file("abd"), file("x")});
        h.session->startSearch();
        QVERIFY(h.waitForResults());
        const qint64 before = h.session->filterGeneration();
        QSignalSpy results(h.session.get(), &SearchSession::resultsReplaced);
        for (const char* text : {"a", "ab", "abc"})
            h.session->queryChanged(QString::fromLatin1(text));
        QVERIFY(results.wait());
        QTest::qWait(120);
        QCOMPARE(h.session->filterGeneration(), before + 1);
        QCOMPARE(results.size(), 1);
        QCOMPARE(names(h.session->filteredItems()), QStringList{"abc"});
        QCOMPARE(h.engines->content()->searches.last(), QStringLiteral("abc"));
    }

    void aStaleRunIsNeverPublished() {
        QList<FileItem> many;
        for (int i = 0; i < 30000; ++i) many.append(file("n" + QByteArray::number(i)));
        Harness h(many);
        h.session->startSearch();
        QVERIFY(h.waitForResults());
        QList<QStringList> published;
        connect(h.session.get(), &SearchSession::resultsReplaced, this,
                [&] { published.append(names(h.session->filteredItems())); });
        h.session->queryChanged(QStringLiteral("n1"));
        h.session->runFilter();  // slow: thousands of matches
        h.session->queryChanged(QStringLiteral("n29999"));
        h.session->runFilter();  // queued behind it
        QTRY_VERIFY(!published.isEmpty());
        QTest::qWait(150);  // and the debounced run of the last query
        for (const QStringList& list : published) QCOMPARE(list, QStringList{"n29999"});
    }

    void contentHitsJoinAfterRankedMatchesAndKeepTheSelection() {
        Harness h({file("zeta report"), file("body.txt"), file("report.pdf"), file("other")});
        h.session->sortChanged(SortMode::size);  // equal sizes: the ranking shows through
        h.session->startSearch();
        QVERIFY(h.waitForResults());
        h.session->queryChanged(QStringLiteral("report"));
        QVERIFY(h.waitForResults());
        QCOMPARE(names(h.session->filteredItems()), (QStringList{"report.pdf", "zeta report"}));
        h.session->selectionChanged(1);
        QSignalSpy results(h.session.get(), &SearchSession::resultsReplaced);
        h.engines->content()->onResults({"/s/body.txt"});
        QVERIFY(results.wait());
        QCOMPARE(names(h.session->filteredItems()),
                 (QStringList{"report.pdf", "zeta report", "body.txt"}));
        QCOMPARE(results.last().first().toInt(), 1);  // still "zeta report"
        QCOMPARE(h.session->countText(), QStringLiteral("3 of 4"));
        h.session->queryChanged(QStringLiteral("repor"));
        QVERIFY(results.wait());
        QCOMPARE(results.last().first().toInt(), 0);  // a new query starts at the top
    }

    void pillsNarrowAndTheAllPillComesBack() {
        Harness h({folder("docs"), file("a.pdf"), file("b.pdf"), file("c.png"), file("README")});
        h.session->startSearch();
        QVERIFY(h.waitForResults());
        const QList<PillState>& pills = h.session->pills();
        QCOMPARE(pills.size(), 4);  // All, PDF (2), PNG (1), Folders
        QVERIFY(pills[0].on);
        QCOMPARE(pills[1].pill.title, QStringLiteral("PDF (2)"));
        h.session->pillTapped(1);
        QVERIFY(h.waitForResults());
        h.session->pillTapped(2);
        QVERIFY(h.waitForResults());
        QVERIFY(!h.session->pills()[0].on);
        QCOMPARE(names(h.session->filteredItems()), (QStringList{"a.pdf", "b.pdf", "c.png"}));
        QCOMPARE(h.session->countText(), QStringLiteral("3 of 5"));
        h.session->pillTapped(0);
        QVERIFY(h.waitForResults());
        QVERIFY(h.session->pills()[0].on && !h.session->pills()[1].on && !h.session->pills()[2].on);
        QCOMPARE(h.session->filteredItems().size(), 5);
        h.session->pillTapped(3);  // Folders alone
        QVERIFY(h.waitForResults());
        QCOMPARE(names(h.session->filteredItems()), QStringList{"docs"});
        h.session->pillTapped(3);
        QVERIFY(h.waitForResults());
        QVERIFY(h.session->pills()[0].on);
    }

    void indexOnlyResultsRebuildPillsUntilOneIsChosen() {
        Harness h({});
        h.session->startSearch();
        h.engines->detector()->onCountReady(9000);
        ScriptedFullEngine* full = h.engines->fullEngines.back();
        h.session->queryChanged(QStringLiteral("x"));
        QCOMPARE(full->searches, QStringList{"x"});
        full->onResults({file("b.txt", 5), folder("xdir"), file("a.txt", 9), file("c.md")});
        QVERIFY(h.waitForResults());
        QCOMPARE(names(h.session->filteredItems()),
                 (QStringList{"xdir", "a.txt", "b.txt", "c.md"}));
        QCOMPARE(h.session->countText(), QStringLiteral("4 results"));
        QCOMPARE(h.session->pills().size(), 3);  // All, TXT (2), MD (1): never Folders
        h.session->pillTapped(2);                // MD: the query goes to the index again
        QCOMPARE(full->searches, (QStringList{"x", "x"}));
        full->onResults({file("d.txt"), file("e.md")});
        QVERIFY(h.waitForResults());
        QCOMPARE(names(h.session->filteredItems()), QStringList{"e.md"});
        QCOMPARE(h.session->pills()[2].pill.title, QStringLiteral("MD (1)"));  // kept while chosen
        QVERIFY(h.session->pills()[2].on);
        h.session->queryChanged(QString());
        QVERIFY(h.session->filteredItems().isEmpty());
        QCOMPARE(h.session->countText(), QStringLiteral("0 results"));
        QVERIFY(full->stops > 0);
    }

    void trashedFoldersTakeTheirContentsWithThem() {
        Harness h({folder("d"), file("d/in.txt"), file("dx.txt"), file("keep.txt")});
        h.session->startSearch();
        QVERIFY(h.waitForResults());
        h.session->removeItems({"/s/d"});
        QVERIFY(h.waitForResults());
        QCOMPARE(names(h.session->filteredItems()), (QStringList{"dx.txt", "keep.txt"}));
        QCOMPARE(h.session->countText(), QStringLiteral("2 items"));
    }

    void steppingIntoAFolderAndBack() {
        Harness h({folder("sub"), file("top.txt")});
        h.session->startSearch();
        QVERIFY(h.waitForResults());
        h.session->queryChanged(QStringLiteral("t"));
        QSignalSpy directory(h.session.get(), &SearchSession::directoryChanged);
        h.session->enterFolder("/s/sub");
        QCOMPARE(directory.size(), 1);
        QVERIFY(h.session->query().isEmpty());
        QCOMPARE(h.session->directoryText(), QStringLiteral("  s/sub"));
        QCOMPARE(h.session->countText(), kLoadingText);
        QVERIFY(h.session->goBack());
        QCOMPARE(h.session->directoryText(), QStringLiteral("  s"));
        QVERIFY(!h.session->goBack());
        QCOMPARE(directory.size(), 2);
    }
};

class SessionSnippetTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void onlyContentMatchesGetASnippet() {
        Harness h({file("notes.txt"), file("invoice.txt"), file("dir/inv/x.txt")});
        QSemaphore extracting;
        QAtomicInt calls = 0;
        SearchSession::Dependencies deps;
        deps.engines = h.engines;
        deps.lister = [&](const QByteArray&, const std::atomic<bool>*) { return h.folderItems; };
        deps.snippet = [&](const QByteArray& path, const QString& query) -> std::optional<QString> {
            ++calls;
            extracting.acquire();
            return QString::fromUtf8(path) + u':' + query;
        };
        SearchSession session("/s", deps);
        session.startSearch();
        QSignalSpy results(&session, &SearchSession::resultsReplaced);
        QVERIFY(results.wait());
        QVERIFY(!session.requestSnippet(h.folderItems[0]));  // no query
        session.queryChanged(QStringLiteral("INV"));
        h.engines->content()->onResults({"/s/notes.txt", "/s/invoice.txt"});
        QVERIFY(results.wait());
        QVERIFY(!session.requestSnippet(h.folderItems[1]));  // the name holds the query
        QVERIFY(!session.requestSnippet(h.folderItems[2]));  // matched by its path
        QCOMPARE(session.requestSnippet(h.folderItems[0]), kContentMatchText);
        QCOMPARE(session.requestSnippet(h.folderItems[0]), kContentMatchText);
        QSignalSpy ready(&session, &SearchSession::snippetReady);
        extracting.release();
        QVERIFY(ready.wait());
        QCOMPARE(calls.loadRelaxed(), 1);  // painted twice, extracted once
        const int row = ready.first().first().toInt();
        QCOMPARE(session.filteredItems()[row].name(), QStringLiteral("notes.txt"));
        QCOMPARE(session.requestSnippet(h.folderItems[0]), QStringLiteral("/s/notes.txt:INV"));
        extracting.release(10);
    }

    void aLateSnippetIsNotStored() {
        Harness h({file("notes.txt")});
        SearchSession::Dependencies deps;
        deps.engines = h.engines;
        deps.lister = [&](const QByteArray&, const std::atomic<bool>*) { return h.folderItems; };
        QSemaphore extracting;
        deps.snippet = [&](const QByteArray&, const QString& query) -> std::optional<QString> {
            extracting.acquire();
            return query;
        };
        SearchSession session("/s", deps);
        session.startSearch();
        QSignalSpy results(&session, &SearchSession::resultsReplaced);
        QVERIFY(results.wait());
        session.queryChanged(QStringLiteral("old"));
        h.engines->content()->onResults({"/s/notes.txt"});
        QVERIFY(results.wait());
        QCOMPARE(session.requestSnippet(h.folderItems[0]), kContentMatchText);
        session.queryChanged(QStringLiteral("new"));
        QSignalSpy ready(&session, &SearchSession::snippetReady);
        extracting.release();
        QVERIFY(!ready.wait(300));
        h.engines->content()->onResults({"/s/notes.txt"});
        QVERIFY(results.wait());
        QCOMPARE(session.requestSnippet(h.folderItems[0]), kContentMatchText);
        extracting.release();
        QVERIFY(ready.wait());
        QCOMPARE(session.requestSnippet(h.folderItems[0]), QStringLiteral("new"));
    }
};

TARNWICK_TEST(SessionModeTest)
TARNWICK_TEST(SessionFilterTest)
TARNWICK_TEST(SessionSnippetTest)
#include "SessionTest.moc"
