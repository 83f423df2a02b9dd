#include "core/SearchSession.h"
#include "tests/support/TestRunner.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QtTest>

#include <deque>

using namespace tarnwick;

namespace {

// Either engine, scripted by the test; the session owns it.
struct ScriptedEngine : ContentHitEngine, FullSearchEngine {
    explicit ScriptedEngine(int& stopCount) : stops(stopCount) {}
    QStringList searches;
    int countsStarted = 0;
    int& stops;  // kept by the factory, to be read after the session let the engine go
    void search(const QString& text) override { searches.append(text); }
    void stop() override { ++stops; }
    void startCount() override { ++countsStarted; }
};

struct ScriptedEngines : SearchEngineFactory {
    std::vector<ScriptedEngine*> content, full;  // full: mode detectors and index-only engines
    std::deque<int> contentStops, fullStops;
    std::unique_ptr<ContentHitEngine> createContentEngine(const QByteArray&) override {
        content.push_back(new ScriptedEngine(contentStops.emplace_back(0)));
        return std::unique_ptr<ContentHitEngine>(content.back());
    }
    std::unique_ptr<FullSearchEngine> createFullEngine(const QByteArray&) override {
        full.push_back(new ScriptedEngine(fullStops.emplace_back(0)));
        return std::unique_ptr<FullSearchEngine>(full.back());
    }
};

// Items below /s, '|'-separated, a trailing '/' for a folder.
QList<FileItem> items(const QString& spec) {
    QList<FileItem> out;
    for (QString name : spec.split(u'|', Qt::SkipEmptyParts)) {
        const bool folder = name.endsWith(u'/');
        if (folder) name.chop(1);
        out.append(FileItem::fromPath("/s/" + name.toUtf8(), "/s", folder, 1));
    }
    return out;
}

// A session over a scripted folder, engines and snippet extraction, with short timers.
struct Harness {
    std::shared_ptr<ScriptedEngines> engines = std::make_shared<ScriptedEngines>();
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
        if (withEngines) deps.engines = engines;
        deps.lister = [this](const QByteArray&, const std::atomic<bool>*) { return folder; };
        deps.snippet = [extraction = extraction](const QByteArray& path, const QString& query) {
            ++extraction->count;
            extraction->gate.acquire();
            return std::optional(QString::fromUtf8(path) + u':' + query);
        };
        deps.detectionTimeoutMs = timeoutMs;
        session = std::make_unique<SearchSession>("/s", deps);
    }
    ~Harness() { extraction->gate.release(100); }
    // Generous: listing many items under a sanitizer on a busy machine takes seconds.
    bool waitForResults() {
        return QSignalSpy(session.get(), &SearchSession::resultsReplaced).wait(20000);
    }
    // What the panel would draw: the rows, the count label and the pills that are on.
    QString drawn() const {
        QStringList rows;
        for (const FileItem& item : session->filteredItems())
            rows.append(QString::fromUtf8(item.nativeRelativePath()));
        QString on;
        for (const PillState& pill : session->pills()) on += pill.on ? u'1' : u'0';
        return rows.join(u'|') + u'/' + session->countText() + u'/' + on;
    }
    ScriptedEngine* full() const { return engines->full.back(); }
    ScriptedEngine* content() const { return engines->content.back(); }
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
        if (verb == u"count") h.engines->full.front()->onCountReady(arg.toLongLong());
        if (verb == u"final") h.engines->full.front()->onFinishedGathering(arg.toLongLong());
        if (verb == u"hits") h.engines->content.back()->ContentHitEngine::onResults(hits);
        if (verb == u"index") h.engines->full.back()->FullSearchEngine::onResults(items(arg));
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
        if (verb == u"searched") QCOMPARE(h.engines->full.back()->searches.join(u' '), arg);
        for (int stops : h.engines->fullStops) QVERIFY(verb != u"stopped" || stops);
        for (int stops : h.engines->contentStops) QVERIFY(arg != u"all" || stops);
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
        h.session->startSearch();
        QCOMPARE(h.session->countText(), kLoadingText);
        QCOMPARE(h.engines->full.front()->countsStarted, 1);
        play(h, script);
    }

    void aTimeOutKeepsHybridWhateverComesLater() {
        Harness h("sub/", 150);
        h.session->startSearch();
        const auto lateCount = h.full()->onFinishedGathering;
        QTRY_VERIFY(h.engines->fullStops.front() > 0);
        lateCount(1'000'000);
        QCOMPARE(h.session->searchMode(), SearchMode::hybrid);
        h.session->enterFolder("/s/sub");  // another folder, another detection
        h.full()->onCountReady(kSpotlightOnlyThreshold + 1);
        QCOMPARE(h.session->searchMode(), SearchMode::spotlightOnly);
    }

    void withoutAnIndexTheSearchIsHybrid() {
        Harness h("a|b", 2000, false);
        h.session->startSearch();
        h.session->queryChanged("a");
        play(h, "= a/1 of 2/1");
    }

    void onlyTheNewestRunIsPublished() {
        QStringList many;
        for (int i = 0; i < 30000; ++i) many.append(QStringLiteral("n%1").arg(i));
        Harness h(many.join(u'|'));
        h.session->startSearch();
        QVERIFY(h.waitForResults());
        const qint64 before = h.session->filterGeneration();
        QStringList published;
        connect(h.session.get(), &SearchSession::resultsReplaced, this,
                [&] { published.append(h.drawn().section(u'/', 0, 0)); });
        for (const char* text : {"n", "n2", "n29"}) h.session->queryChanged(text);
        QTRY_VERIFY_WITH_TIMEOUT(!published.isEmpty(), 20000);
        QCOMPARE(h.session->filterGeneration(), before + 1);  // keystrokes within the debounce
        QCOMPARE(h.content()->searches.last(), QStringLiteral("n29"));
        h.session->queryChanged("n1");
        h.session->runFilter();  // slow: thousands of matches
        h.session->queryChanged("n29999");
        h.session->runFilter();  // queued behind it
        QTRY_VERIFY_WITH_TIMEOUT(published.size() > 1, 20000);
        QTest::qWait(150);  // and the debounced run of the last query
        QCOMPARE(published.mid(1), QStringList(published.size() - 1, "n29999"));
        // Nor a run over a folder the panel has stepped out of.
        published.clear();
        h.session->queryChanged("n1");
        h.session->runFilter();
        h.session->enterFolder("/s/n1");
        QTRY_COMPARE_WITH_TIMEOUT(h.session->filteredItems().size(), 30000, 20000);
        for (const QString& rows : published) QVERIFY(rows.isEmpty() || rows.count(u'|') == 29999);
    }
};

TARNWICK_TEST(SessionTest)
#include "SessionTest.moc"
