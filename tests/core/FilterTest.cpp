#include "core/CountLabel.h"
#include "core/ExtensionKey.h"
#include "core/ExtensionPills.h"
#include "core/FilterRun.h"
#include "core/MatchScore.h"
#include "core/WorkQueue.h"
#include "tests/support/TestRunner.h"

#include <QLocale>
#include <QRegularExpression>
#include <QtTest>

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
    void runs_data() {
        QTest::addColumn<QString>("listing");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("hitsAndPills");  // "/s/..." content hits, else pill keys
        QTest::addColumn<SortMode>("mode");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("locales");
        auto row = [](const char* name, const char* listing, const char* query,
                      QStringList hitsAndPills, SortMode mode, const char* expected,
                      QStringList locales = {"en_US", "C", "sv_SE"}) {
            QTest::newRow(name) << listing << query << hitsAndPills << mode << expected << locales;
        };
        // Equal sizes, so that the size order lets the ranking show through.
        row("ranked, then content-only hits", "zz.txt|xabc|abc.txt|a_b_c|body.txt|o.md", "abc",
            {"/s/body.txt", "/s/abc.txt"}, SortMode::size, "abc.txt|xabc|a_b_c|body.txt");
        row("a path matches when the name does not", "projects/alpha/notes.txt|alpha.txt", "alpha",
            {}, SortMode::size, "alpha.txt|projects/alpha/notes.txt");
        row("equal sizes keep score, then listing order", "xrep=10|rep-b=10|rep-a=10|big=99", "rep",
            {}, SortMode::size, "rep-b|rep-a|xrep");
        row("a start ties with scattered runs of 13, 3 and 2",
            "abcdefghijklmnopqr.txt|abcdefghijklm_nop_qr", "abcdefghijklmnopqr", {}, SortMode::size,
            "abcdefghijklmnopqr.txt|abcdefghijklm_nop_qr");
        row("no query shows everything", "b.txt|dir/|dir/a.txt", "", {}, SortMode::name,
            "dir|dir/a.txt|b.txt");
        row("pills narrow by extension", "docs/|a.pdf|B.PDF|README|c.png", "", {kFolderKey, "pdf"},
            SortMode::name, "docs|a.pdf|B.PDF");
        row("names ignore case, equal ones keep their order", "b|Report.pdf|a|report.PDF|B", "", {},
            SortMode::name, "a|b|B|Report.pdf|report.PDF");
        row("accents after case", "é|e|É|E", "", {}, SortMode::name, "e|E|é|É");
        row("the locale's order", "z|_|ä|1", "", {}, SortMode::name, "_|1|ä|z", {"de_DE"});
        row("Swedish order", "z|_|ä|1", "", {}, SortMode::name, "_|1|z|ä", {"sv_SE"});
        row("the C locale's code points", "z|_|ä|1", "", {}, SortMode::name, "1|_|z|ä", {"C"});
        row("dates newest first, missing ones last", "none|old@1000|dir/|new@9000|none2", "", {},
            SortMode::dateModified, "dir|new|old|none|none2");
        row("sizes largest first", "small=1|first=50|big=900|second=50|dir/|none=0", "", {},
            SortMode::size, "dir|big|first|second|small|none");
    }
    // With names ranked once per listing, with names collated at the end, and sorted alone.
    void runs() {
        QFETCH(QString, listing);
        QFETCH(QString, query);
        QFETCH(QStringList, hitsAndPills);
        QFETCH(SortMode, mode);
        QFETCH(QString, expected);
        QFETCH(QStringList, locales);
        FilterRequest request{query, {}, {}, mode};
        for (const QString& entry : hitsAndPills) {
            if (entry.startsWith(u'/'))
                request.contentHits.insert(entry.toUtf8());
            else
                request.extensions.insert(entry);
        }
        for (const QString& locale : locales) {
            QLocale::setDefault(QLocale(locale));
            QCOMPARE(names(filterItems(*makeListing(items(listing), true), request)), expected);
            QCOMPARE(names(filterItems(*makeListing(items(listing), false), request)), expected);
            QList<FileItem> sorted = items(listing);
            sortItems(sorted, mode);
            if (query.isEmpty() && hitsAndPills.isEmpty()) QCOMPARE(names(sorted), expected);
        }
    }

    // Long lists are ranked in shares on several threads, content hits from each share last.
    void largeListsRankAsTheRulesSay() {
        QList<FileItem> all;
        for (int i = 0; i < 40000; ++i)
            all += items(QStringLiteral("d%1/n%2.txt").arg(i % 97).arg(i));
        const QSet<QByteArray> hits{"/s/d3/n39999.txt", "/s/d5/n5.txt", "/s/d1/n1.txt"};
        for (const char* query : {"n39", "d7/", "x"}) {
            QList<std::pair<qint64, FileItem>> ranked;
            QList<FileItem> expected;
            for (const FileItem& item : all) {
                auto score = matchScore(query, item.name());
                if (!score)
                    score = matchScore(query, item.relativeDirectory() + u'/' + item.name());
                if (score)
                    ranked.append({*score, item});
                else if (hits.contains(item.path()))
                    expected.append(item);
            }
            std::stable_sort(ranked.begin(), ranked.end(),
                             [](auto& a, auto& b) { return a.first > b.first; });
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
};

// What the pills and the count label say of a list.
class PillTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void extensionKeys() {
        const std::pair<const char*, QString> cases[] = {
            {"a.JPG", "jpg"},     {"x.tar.gz", "gz"},    {"README", ""},
            {".bashrc", ""},      {"trailing.", ""},     {"Version 2.0 final", ""},
            {"photo.ÉTÉ", "été"}, {"lib.d/", kFolderKey}};
        for (const auto& [item, key] : cases) QCOMPARE(extensionKey(items(item).first()), key);
    }

    void pills_data() {
        QTest::addColumn<QString>("listing");
        QTest::addColumn<bool>("withFolders");
        QTest::addColumn<QString>("titles");
        QTest::newRow("case merged") << "a.JPG|b.jpg|README" << true << "All|JPG (2)";
        QTest::newRow("equal counts by name") << "x.b|y.a|z.b|w.a" << true << "All|A (2)|B (2)";
        QTest::newRow("only folders") << "a/|b/" << true << "All|Folders";
        QTest::newRow("index results") << "a/|b.txt" << false << "All|TXT (1)";
        QTest::newRow("nothing") << "" << true << "All";
        QString many = QStringLiteral("dir/");  // e0 once, e1 twice, ... e11 twelve times
        for (int e = 0; e < 12; ++e) many += QStringLiteral("|f.e%1").arg(e).repeated(e + 1);
        QTest::newRow("ten most frequent") << many << true
                                           << "All|E11 (12)|E10 (11)|E9 (10)|E8 (9)|E7 (8)|E6 (7)|"
                                              "E5 (6)|E4 (5)|E3 (4)|E2 (3)|Folders";
    }
    void pills() {
        QFETCH(QString, listing);
        QFETCH(bool, withFolders);
        QFETCH(QString, titles);
        QStringList shown;
        for (const Pill& pill : countPills(items(listing), withFolders)) shown.append(pill.title);
        QCOMPARE(shown.join(u'|'), titles);
    }

    void countLabels() {
        QCOMPARE(countLabelText(SearchMode::hybrid, true, true, 3, 7), QStringLiteral("7 items"));
        QCOMPARE(countLabelText(SearchMode::hybrid, false, true, 3, 7), QStringLiteral("3 of 7"));
        QCOMPARE(countLabelText(SearchMode::hybrid, true, false, 3, 7), QStringLiteral("3 of 7"));
        QCOMPARE(countLabelText(SearchMode::spotlightOnly, true, true, 0, 7),
                 QStringLiteral("0 results"));
        QCOMPARE(typeToSearchText(5001), QString::fromUtf8("5001 items — type to search"));
    }
};

// Background work: below the interface's priority, and never waiting on a queue it runs on.
class WorkQueueTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // First, so that a background thread makes the helpers: they still sit at its level.
    void helpersOfBackgroundWorkSitAtItsLevel() {
        WorkQueue queue(1);
        std::mutex mutex;
        std::set<int> nices;
        queue.start([&] {
            WorkQueue::runShares(64, [&](int) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                std::lock_guard lock(mutex);
                nices.insert(getpriority(PRIO_PROCESS, 0));
            });
        });
        queue.waitForDone();
        QCOMPARE(nices.size(), size_t(1));
    }

    void jobsYieldToTheInterface() {
        const int before = getpriority(PRIO_PROCESS, 0);
        std::atomic<int> nice = before;
        WorkQueue queue(1);
        queue.start([&] { nice = getpriority(PRIO_PROCESS, 0); });
        queue.waitForDone();
        QVERIFY2(nice > before, qPrintable(QString::number(nice)));
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
TARNWICK_TEST(PillTest)
#include "FilterTest.moc"
