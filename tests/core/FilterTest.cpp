#include "core/CountLabel.h"
#include "core/ExtensionKey.h"
#include "core/ExtensionPills.h"
#include "core/FilterRun.h"
#include "core/MatchScore.h"
#include "core/SearchSession.h"
#include "core/WorkQueue.h"
#include "tests/support/TestRunner.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSemaphore>
#include <QSignalSpy>
#include <QtTest>

#include <deque>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include <sys/resource.h>

using namespace tarnwick;

namespace {

// Items below /s, '|'-separated: "a/b.txt" a file, "dir/" a folder, "=size" (else 1), "@msecs".
QList<FileItem> items(const QString& spec) {
    static const QRegularExpression entry(QStringLiteral("^(.*?)(/?)(?:=(\\d+))?(?:@(\\d+))?$"));
    QList<FileItem> out;
    for (const QString& text : spec.split(u'|', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = entry.match(text);
        out.append(
            FileItem::fromPath("/s/" + m.captured(1).toUtf8(), "/s", !m.captured(2).isEmpty(),
                               m.hasCaptured(3) ? m.captured(3).toLongLong() : 1,
                               m.hasCaptured(4) ? m.captured(4).toLongLong() : FileItem::kNoDate));
    }
    return out;
}

QString names(const QList<FileItem>& list) {
    QStringList out;
    for (const FileItem& item : list) out.append(QString::fromUtf8(item.nativeRelativePath()));
    return out.join(u'|');
}

}  // namespace

// One filter run: matching, content hits, pills and the sort order, as the list shows them.
class FilterTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // listing, query, content hits (/s/...) and pills, sort mode (name, date, size), expected,
    // locales; '-' for none. Ranked once per listing, collated at the end, and sorted alone; equal
    // sizes let the ranking show through. A start ties with scattered runs of 13, 3 and 2.
    void runs() {
        const char* rows[] = {
            "zz.txt|xabc|abc.txt|a_b_c|body.txt|o.md abc /s/body.txt,/s/abc.txt s "
            "abc.txt|xabc|a_b_c|body.txt",
            "projects/alpha/notes.txt|alpha.txt alpha - s alpha.txt|projects/alpha/notes.txt",
            "xrep=10|rep-b=10|rep-a=10|big=99 rep - s rep-b|rep-a|xrep",
            "abcdefghijklmnopqr.txt|abcdefghijklm_nop_qr abcdefghijklmnopqr - s "
            "abcdefghijklmnopqr.txt|abcdefghijklm_nop_qr",
            "b.txt|dir/|dir/a.txt - - n dir|dir/a.txt|b.txt",
            "docs/|a.pdf|B.PDF|README|c.png - folders,pdf n docs|a.pdf|B.PDF",
            "b|Report.pdf|a|report.PDF|B - - n a|b|B|Report.pdf|report.PDF",
            "é|e|É|E - - n e|E|é|É",
            "z|_|ä|1 - - n _|1|ä|z de_DE",
            "z|_|ä|1 - - n _|1|z|ä sv_SE",
            "z|_|ä|1 - - n 1|_|z|ä C",
            "none|old@1000|dir/|new@9000|none2 - - d dir|new|old|none|none2",
            "small=1|first=50|big=900|second=50|dir/|none=0 - - s dir|big|first|second|small|none"};
        for (const char* row : rows) {
            const QStringList f = QString::fromUtf8(row).split(u' ') << "en_US,C,sv_SE";
            const SortMode mode = f[3] == u"d"   ? SortMode::dateModified
                                  : f[3] == u"s" ? SortMode::size
                                                 : SortMode::name;
            FilterRequest request{f[1] == u"-" ? QString() : f[1], {}, {}, mode};
            for (const QString& e : f[2].split(u',')) {
                if (e.startsWith(u'/'))
                    request.contentHits.insert(e.toUtf8());
                else if (e != u"-")
                    request.extensions.insert(e == u"folders" ? kFolderKey : e);
            }
            for (const QString& locale : f[5].split(u',')) {
                QLocale::setDefault(QLocale(locale));
                for (bool ranked : {true, false})
                    QCOMPARE(names(filterItems(*makeListing(items(f[0]), ranked), request)), f[4]);
                QList<FileItem> sorted = items(f[0]);
                sortItems(sorted, mode);
                if (f[1] + f[2] == u"--") QCOMPARE(names(sorted), f[4]);
            }
        }
    }

    // Long lists are ranked in shares on several threads, content hits from each share last.
    void largeListsRankAsTheRulesSay() {
        QList<FileItem> all;
        for (int i = 0; i < 40000; ++i)
            all += items(QStringLiteral("d%1/n%2.txt").arg(i % 97).arg(i));
        const QSet<QByteArray> hits{"/s/d3/n39999.txt", "/s/d5/n5.txt", "/s/d1/n1.txt"};
        for (const char* query : {"n39", "d7/", "x"}) {
            std::multimap<qint64, FileItem, std::greater<>> ranked;  // equal scores in list order
            QList<FileItem> expected;
            for (const FileItem& item : all) {
                auto score = matchScore(query, item.name());
                if (!score)
                    score = matchScore(query, item.relativeDirectory() + u'/' + item.name());
                if (score) ranked.emplace(*score, item);
                if (!score && hits.contains(item.path())) expected.append(item);
            }
            for (auto it = ranked.rbegin(); it != ranked.rend(); ++it) expected.prepend(it->second);
            const FilterRequest request{query, hits, {}, SortMode::dateModified};  // no dates
            QCOMPARE(names(filterItems(*makeListing(all), request, [] { return false; })),
                     names(expected));
        }
    }

    // A superseded run stops within a block of items instead of ranking the whole list.
    void aCancelledRunStopsEarly() {
        const QList<FileItem> all(200000, items("dir/name.txt").first());
        std::atomic<int> asked = 0;
        const QList<FileItem> got = filterItems(*makeListing(all, false), {"name", {}, {}, {}},
                                                [&] { return ++asked > 1; });
        QVERIFY(got.isEmpty());
        QVERIFY2(asked < 10, qPrintable(QString::number(asked)));  // to the end: about fifty
    }

    // What the pills say of a list (with folders unless '!'), and which extension each name has.
    void pills() {
        QString many = QStringLiteral("dir/");  // e0 once, e1 twice, ... e11 twelve times
        for (int e = 0; e < 12; ++e) many += QStringLiteral("|f.e%1").arg(e).repeated(e + 1);
        const std::pair<QString, const char*> rows[] = {
            {"a.JPG|b.jpg|README", "All|JPG (2)"},
            {"x.b|y.a|z.b|w.a", "All|A (2)|B (2)"},
            {"a/|b/", "All|Folders"},
            {"!a/|b.txt", "All|TXT (1)"},
            {"", "All"},
            {"a.JPG|x.tar.gz|README|.bashrc|trailing.|Version 2.0 final|photo.ÉTÉ|lib.d/",
             "All|GZ (1)|JPG (1)|ÉTÉ (1)|Folders"},
            {many,
             "All|E11 (12)|E10 (11)|E9 (10)|E8 (9)|E7 (8)|E6 (7)|E5 (6)|E4 (5)|E3 (4)|E2 "
             "(3)|Folders"}};
        for (const auto& [listing, titles] : rows) {
            QStringList shown;
            for (const Pill& pill :
                 countPills(items(QString(listing).remove(u'!')), !listing.startsWith(u'!')))
                shown.append(pill.title);
            QCOMPARE(shown.join(u'|'), titles);
        }
    }
};

// Background work: below the interface's priority, and never waiting on a queue it runs on.
class WorkQueueTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // First, so that a background thread makes the helpers: they still sit at its level.
    void jobsAndTheirHelpersYieldToTheInterface() {
        const int before = getpriority(PRIO_PROCESS, 0);
        WorkQueue queue(1);
        std::mutex mutex;
        std::set<int> nices;
        queue.start([&] {
            nices.insert(getpriority(PRIO_PROCESS, 0));
            WorkQueue::runShares(64, [&](int) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                std::lock_guard lock(mutex);
                nices.insert(getpriority(PRIO_PROCESS, 0));
            });
        });
        queue.waitForDone();
        QVERIFY2(nices.size() == 1 && *nices.begin() > before,
                 qPrintable(QString::number(*nices.begin())));
        QCOMPARE(getpriority(PRIO_PROCESS, 0), before);
    }

    void everyShareRunsOnceEvenFromAShare() {
        std::atomic<int> runs[8][8] = {};
        WorkQueue::runShares(8, [&](int outer) {
            WorkQueue::runShares(8, [&](int inner) { ++runs[outer][inner]; });
        });
        for (auto& row : runs) QCOMPARE(std::count(std::begin(row), std::end(row), 1), 8);
    }
};

TARNWICK_TEST(FilterTest)
TARNWICK_TEST(WorkQueueTest)

namespace {

// Either engine, scripted by the test; the session owns it, the harness marks it stopped.
struct ScriptedEngine : ContentHitEngine, FullSearchEngine {
    explicit ScriptedEngine(QList<bool>& stopped) : stopped(stopped), id(stopped.size()) {
        stopped.append(false);
    }
    QList<bool>& stopped;
    const qsizetype id;
    QStringList searches;
    int countsStarted = 0;
    void search(const QString& text) override { searches.append(text); }
    void stop() override { stopped[id] = true; }
    void startCount() override { ++countsStarted; }
};

// A session over a scripted folder, engines and snippet extraction, with short timers.
struct Harness : SearchEngineFactory {
    std::vector<ScriptedEngine*> content, full;  // full: mode detectors and index-only engines
    QList<bool> contentStopped, fullStopped;
    QList<FileItem> folder;
    struct Extraction {  // each waits for the test to let one through
        QSemaphore gate;
        std::atomic<int> count = 0;
    };
    std::shared_ptr<Extraction> extraction = std::make_shared<Extraction>();
    std::unique_ptr<SearchSession> session;

    explicit Harness(const QString& spec, int timeoutMs = 400, bool withEngines = true)
        : folder(items(spec)) {
        SearchSession::Dependencies deps;
        if (withEngines)
            deps.engines = std::shared_ptr<SearchEngineFactory>(std::shared_ptr<void>(), this);
        deps.lister = [this](const QByteArray&, const std::atomic<bool>*) { return folder; };
        deps.snippet = [extraction = extraction](const QByteArray& path, const QString& query) {
            ++extraction->count;
            extraction->gate.acquire();
            return std::optional(QString::fromUtf8(path) + u':' + query);
        };
        deps.detectionTimeoutMs = timeoutMs;
        session = std::make_unique<SearchSession>("/s", deps);
        session->startSearch();
    }
    ~Harness() { extraction->gate.release(100); }
    std::unique_ptr<ContentHitEngine> createContentEngine(const QByteArray&) override {
        return std::unique_ptr<ContentHitEngine>(
            content.emplace_back(new ScriptedEngine(contentStopped)));
    }
    std::unique_ptr<FullSearchEngine> createFullEngine(const QByteArray&) override {
        return std::unique_ptr<FullSearchEngine>(
            full.emplace_back(new ScriptedEngine(fullStopped)));
    }
    // What the panel would draw: the rows, the count label and the pills that are on.
    QString drawn() const {
        QString on;
        for (const PillState& pill : session->pills()) on += pill.on ? u'1' : u'0';
        return names(session->filteredItems()) + u'/' + session->countText() + u'/' + on;
    }
};

// Plays `script`, steps separated by ';': an action, or a check of what the session shows.
//   type TEXT | sort size | select ROW | tap PILL | remove NAME | enter NAME | back | close
//   count N | final N: the mode detector's counts;  hits NAMES | index ITEMS: the engines' answers
//   = ROWS/LABEL/PILLS: waits until the panel would draw that;  row N: the row last selected
//   dir TEXT: the folder shown;  back none: nothing to go back to;  silent: nothing published
//   snippet NAME TEXT ("-": none) | extract: lets one extraction end | ready ROW | quiet: none
//   extracted N;  searched TEXTS: the index engine's queries;  stopped [all]: engines stopped
void play(Harness& h, const QString& script) {
    QSignalSpy published(h.session.get(), &SearchSession::resultsReplaced);
    QSignalSpy ready(h.session.get(), &SearchSession::snippetReady);
    for (const QString& step : script.split(u';')) {
        const QString verb = step.trimmed().section(u' ', 0, 0),
                      arg = step.trimmed().section(u' ', 1);
        const QByteArray path = "/s/" + arg.section(u' ', 0, 0).toUtf8();
        QSet<QByteArray> hits;
        for (const QString& name : arg.split(u' ')) hits.insert("/s/" + name.toUtf8());
        if (verb == u"type") h.session->queryChanged(arg);
        if (verb == u"sort") h.session->sortChanged(SortMode::size);
        if (verb == u"select") h.session->selectionChanged(arg.toInt());
        if (verb == u"tap") h.session->pillTapped(arg.toInt());
        if (verb == u"remove") h.session->removeItems({path});
        if (verb == u"enter") h.session->enterFolder(path);
        if (verb == u"back") QCOMPARE(h.session->goBack(), arg != u"none");
        if (verb == u"close") h.session->close();
        if (verb == u"count") h.full.front()->onCountReady(arg.toLongLong());
        if (verb == u"final") h.full.front()->onFinishedGathering(arg.toLongLong());
        if (verb == u"hits") h.content.back()->ContentHitEngine::onResults(hits);
        if (verb == u"index") h.full.back()->FullSearchEngine::onResults(items(arg));
        if (verb == u"=") QTRY_COMPARE_WITH_TIMEOUT(h.drawn(), arg, 20000);
        if (verb == u"row") QCOMPARE(published.last().first().toInt(), arg.toInt());
        if (verb == u"dir") QCOMPARE(h.session->directoryText(), "  " + arg);
        if (verb == u"silent") QVERIFY(!published.wait(300));
        if (verb == u"snippet") {
            const FileItem item = FileItem::fromPath(path, "/s", false, 1);
            QCOMPARE(h.session->requestSnippet(item).value_or("-"), arg.section(u' ', 1));
        }
        if (verb == u"extract") h.extraction->gate.release();
        if (verb == u"ready") QVERIFY(ready.wait(20000) && ready.last().first() == arg.toInt());
        if (verb == u"quiet") QVERIFY(!ready.wait(300));
        if (verb == u"extracted") QCOMPARE(h.extraction->count.load(), arg.toInt());
        if (verb == u"searched") QCOMPARE(h.full.back()->searches.join(u' '), arg);
        QVERIFY(verb != u"stopped" || !h.fullStopped.contains(false));
        QVERIFY(arg != u"all" || !h.contentStopped.contains(false));
    }
}

}  // namespace

// One session from its start, driven as the panel and the engines would.
class SessionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scenarios_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("script");
        auto row = [](const char* name, const char* folder, const QString& script) {
            QTest::newRow(name) << folder << script;
        };
        const QString limit = QString::number(kSpotlightOnlyThreshold);
        const QString large = QString::number(kSpotlightOnlyThreshold + 1);
        const QString handedOver =
            "= /" + typeToSearchText(kSpotlightOnlyThreshold + 1) + "/; silent";
        row("a small count keeps the listing", "a|b",
            "count " + limit + "; final " + limit + "; = a|b/2 items/1; stopped");
        row("a large running count hands over to the index", "a|b",
            "count " + large + "; " + handedOver);
        row("a large final count hands over", "a|b",
            "count " + limit + "; final " + large + "; " + handedOver);
        row("content hits join the ranked matches, the selection stays",
            "zeta report|body.txt|report.pdf|notes.txt",
            "sort size; type REPORT; = report.pdf|zeta report/2 of 4/100; select 1; "
            "hits body.txt report.pdf; = report.pdf|zeta report|body.txt/3 of 4/100; row 1; "
            "type zeta; = zeta report|body.txt|report.pdf/3 of 4/100; row 0");
        row("a passage for content-only rows, extracted once per query",
            "body.txt|report.pdf|notes.txt",
            "type REPORT; hits body.txt report.pdf; = body.txt|report.pdf/2 of 3/100; "
            "snippet report.pdf -; snippet notes.txt -; snippet body.txt Content match; "
            "snippet body.txt Content match; extract; ready 0; extracted 1; "
            "snippet body.txt /s/body.txt:REPORT; type repor; snippet body.txt Content match; "
            "type repo; extract; quiet; snippet body.txt Content match; extract; ready 0; "
            "snippet body.txt /s/body.txt:repo");
        row("pills narrow; All, or the last one off, shows everything", "d/|a.pdf|b.pdf|c.png|R",
            "= d|a.pdf|b.pdf|c.png|R/5 items/1000; tap 1; tap 2; = a.pdf|b.pdf|c.png/3 of 5/0110; "
            "tap 0; = d|a.pdf|b.pdf|c.png|R/5 items/1000; tap 3; = d/1 of 5/0001; "
            "tap 3; = d|a.pdf|b.pdf|c.png|R/5 items/1000");
        row("index results rebuild the pills until one is chosen", "",
            "count " + large +
                "; type x; searched x; index b.txt|xdir/|a.txt|c.md; "
                "= xdir|a.txt|b.txt|c.md/4 results/100; tap 2; searched x x; index d.txt|e.md; "
                "= e.md/1 results/001; type; = /0 results/001; stopped");
        row("trashed folders take their contents; folders are entered and left",
            "d/|d/in.txt|dx.txt|sub/",
            "= d|sub|dx.txt|d/in.txt/4 items/100; remove d; = sub|dx.txt/2 items/100; type t; "
            "enter sub; dir s/sub; = /Loading…/100; = d|sub|dx.txt|d/in.txt/4 items/100; back; "
            "dir s; back none");
        row("closing stops everything and publishes nothing", "a",
            "close; type a; silent; stopped all; close");
    }
    void scenarios() {
        QFETCH(QString, folder);
        QFETCH(QString, script);
        Harness h(folder);
        QCOMPARE(h.session->countText(), kLoadingText);
        QCOMPARE(h.full.front()->countsStarted, 1);
        play(h, script);
    }

    void aTimeOutKeepsHybridWhateverComesLater() {
        Harness h("sub/", 150);
        const auto lateCount = h.full.back()->onFinishedGathering;
        QTRY_VERIFY(h.fullStopped.front());
        lateCount(1'000'000);
        QCOMPARE(h.session->searchMode(), SearchMode::hybrid);
        h.session->enterFolder("/s/sub");  // another folder, another detection
        h.full.back()->onCountReady(kSpotlightOnlyThreshold + 1);
        QCOMPARE(h.session->searchMode(), SearchMode::spotlightOnly);
    }

    void withoutAnIndexTheSearchIsHybrid() {
        Harness h("a|b", 2000, false);
        play(h, "type a; = a/1 of 2/1");
    }

    // Keystrokes within the debounce make one run; of runs queued behind a slow one, and of a run
    // over a folder the panel has stepped out of, only the newest is published.
    void onlyTheNewestRunIsPublished() {
        QStringList many;
        for (int i = 0; i < 30000; ++i) many.append(QStringLiteral("n%1").arg(i));
        Harness h(many.join(u'|'));
        QVERIFY(QSignalSpy(h.session.get(), &SearchSession::resultsReplaced).wait(20000));
        const qint64 before = h.session->filterGeneration();
        QStringList published;
        connect(h.session.get(), &SearchSession::resultsReplaced, this,
                [&] { published.append(h.drawn().section(u'/', 0, 0)); });
        for (const char* text : {"n", "n2", "n29", "n1"}) h.session->queryChanged(text);
        h.session->runFilter();  // slow: thousands of matches
        h.session->queryChanged("n29999");
        h.session->runFilter();  // queued behind it
        QTRY_VERIFY_WITH_TIMEOUT(!published.isEmpty(), 20000);
        QTest::qWait(150);  // and the debounced run of the last query
        QCOMPARE(published, QStringList(published.size(), "n29999"));
        QCOMPARE(h.content.back()->searches.last(), QStringLiteral("n29999"));
        QVERIFY(h.session->filterGeneration() <= before + 3);
        published.clear();
        h.session->queryChanged("n1");
        h.session->runFilter();
        h.session->enterFolder("/s/n1");
        QTRY_COMPARE_WITH_TIMEOUT(h.session->filteredItems().size(), 30000, 20000);
        for (const QString& rows : published) QVERIFY(rows.isEmpty() || rows.count(u'|') == 29999);
    }
};

TARNWICK_TEST(SessionTest)
#include "FilterTest.moc"
