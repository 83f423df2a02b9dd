#include "core/CountLabel.h"
#include "core/ExtensionKey.h"
#include "core/ExtensionPills.h"
#include "core/FilterRun.h"
#include "core/MatchScore.h"
#include "core/SortMode.h"
#include "tests/support/TestRunner.h"

#include <QLocale>
#include <QtTest>

#include <random>

using namespace tarnwick;

namespace {

FileItem file(const QByteArray& relative, qint64 size = 0, qint64 modified = FileItem::kNoDate) {
    return FileItem::fromPath("/s/" + relative, "/s", false, size, modified);
}
FileItem folder(const QByteArray& relative) {
    return FileItem::fromPath("/s/" + relative, "/s", true, 0);
}

QStringList names(const QList<FileItem>& items) {
    QStringList out;
    for (const FileItem& item : items) out.append(QString::fromUtf8(item.nativeRelativePath()));
    return out;
}

QList<FileItem> run(const QList<FileItem>& items, const QString& query,
                    SortMode mode = SortMode::name, QSet<QByteArray> hits = {},
                    QSet<QString> extensions = {}) {
    return filterItems(*makeListing(items), {query, hits, extensions, mode});
}

// A filter run done the plainest way.
QList<FileItem> referenceFilter(const QList<FileItem>& items, const QString& query,
                                const QSet<QByteArray>& hits, SortMode mode) {
    std::vector<std::pair<qint64, FileItem>> ranked;
    QList<FileItem> contentOnly;
    for (const FileItem& item : items) {
        std::optional<qint64> score = matchScore(query, item.name());
        if (!score && !item.relativeDirectory().isEmpty())
            score = matchScore(query, item.relativeDirectory() + u'/' + item.name());
        if (score)
            ranked.emplace_back(*score, item);
        else if (hits.contains(item.path()))
            contentOnly.append(item);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](auto& a, auto& b) { return a.first > b.first; });
    QList<FileItem> out;
    for (auto& [score, item] : ranked) out.append(item);
    out += contentOnly;
    sortItems(out, mode);
    return out;
}

}  // namespace

class SortTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QStringLiteral("en_US"))); }

    void rawValuesNameTheModes() {
        for (SortMode mode : kAllSortModes) QCOMPARE(sortModeFromRawValue(rawValue(mode)), mode);
        QCOMPARE(rawValue(SortMode::dateModified), QStringLiteral("Date"));
        QVERIFY(!sortModeFromRawValue(QStringLiteral("name")));
        QVERIFY(!sortModeFromRawValue(QString()));
    }

    void foldersComeFirstInEveryMode() {
        for (SortMode mode : kAllSortModes) {
            QList<FileItem> items{file("alpha", 99, 5000), folder("zeta")};
            sortItems(items, mode);
            QCOMPARE(names(items), (QStringList{"zeta", "alpha"}));
        }
    }

    void namesIgnoreCaseAndKeepArrivalOrderWhenEqual() {
        QList<FileItem> items{file("b.txt"), file("Report.pdf"), file("a.txt"), file("report.PDF"),
                              file("B.txt")};
        sortItems(items, SortMode::name);
        QCOMPARE(names(items),
                 (QStringList{"a.txt", "b.txt", "B.txt", "Report.pdf", "report.PDF"}));
    }

    void datesNewestFirstAndMissingDatesLast() {
        QList<FileItem> items{file("none"), file("old", 0, 1000), folder("dir"),
                              file("new", 0, 9000), file("none2")};
        sortItems(items, SortMode::dateModified);
        QCOMPARE(names(items), (QStringList{"dir", "new", "old", "none", "none2"}));
    }

    void equalSizesKeepTheirOrder() {
        QList<FileItem> items{file("small", 1), file("first", 50), file("big", 900),
                              file("second", 50)};
        sortItems(items, SortMode::size);
        QCOMPARE(names(items), (QStringList{"big", "first", "second", "small"}));
        QList<FileItem> none;
        sortItems(none, SortMode::size);
        QVERIFY(none.isEmpty());
    }

    // Filter runs sort through ranks computed once per listing; they must order exactly as
    // sortItems does, in any locale, including the C locale where Qt collates differently.
    void listingRanksOrderAsSortItems_data() {
        QTest::addColumn<QString>("locale");
        QTest::newRow("en_US") << "en_US";
        QTest::newRow("C") << "C";
        QTest::newRow("sv_SE") << "sv_SE";
        QTest::newRow("de_DE") << "de_DE";
    }
    void listingRanksOrderAsSortItems() {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        static const char* parts[] = {"a", "A", "b",  "Z", "z", "ä", "Ä",  "å",  "é", "e", "_", " ",
                                      "-", "1", "10", "2", ".", "ß", "ss", "日", "Å", "ø", "x"};
        std::mt19937 random(5);
        QList<FileItem> items;
        for (int i = 0; i < 3000; ++i) {
            QByteArray name;
            for (unsigned k = 0; k <= random() % 5; ++k) name += parts[random() % std::size(parts)];
            name += QByteArray::number(i % 7);
            bool isFolder = random() % 5 == 0;
            items.append(FileItem::fromPath("/s/" + name, "/s", isFolder, qint64(random() % 4),
                                            qint64(random() % 3) * 1000));
        }
        for (SortMode mode : kAllSortModes) {
            for (const QString& query : {QString(), QStringLiteral("a"), QStringLiteral("1")}) {
                FilterRequest request{query, {}, {}, mode};
                QList<FileItem> ranked = filterItems(*makeListing(items, true), request);
                QList<FileItem> collated = filterItems(*makeListing(items, false), request);
                QCOMPARE(names(ranked), names(collated));
            }
        }
    }
};

class FilterTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QStringLiteral("en_US"))); }

    void emptyQueryShowsEverything() {
        QList<FileItem> items{file("b.txt"), folder("dir"), file("dir/a.txt")};
        QCOMPARE(names(run(items, QString())), (QStringList{"dir", "dir/a.txt", "b.txt"}));
    }

    void rankedMatchesThenContentOnlyHits() {
        // Equal sizes, so the size order keeps the ranking visible.
        QList<FileItem> items{file("zz.txt", 1), file("xabc", 1),     file("abc.txt", 1),
                              file("a_b_c", 1),  file("body.txt", 1), file("other.md", 1)};
        QSet<QByteArray> hits{"/s/body.txt", "/s/abc.txt"};
        QCOMPARE(names(run(items, QStringLiteral("abc"), SortMode::size, hits)),
                 (QStringList{"abc.txt", "xabc", "a_b_c", "body.txt"}));
        QCOMPARE(names(run(items, QStringLiteral("abc"), SortMode::size)),
                 (QStringList{"abc.txt", "xabc", "a_b_c"}));
    }

    void pathMatchesCountWhenNamesDoNot() {
        QList<FileItem> items{file("projects/alpha/notes.txt", 1), file("alpha.txt", 1)};
        QCOMPARE(names(run(items, QStringLiteral("alpha"), SortMode::size)),
                 (QStringList{"alpha.txt", "projects/alpha/notes.txt"}));
    }

    void equalSizesFallBackToScoreThenListingOrder() {
        QList<FileItem> items{file("xrep", 10), file("rep-b", 10), file("rep-a", 10),
                              file("big", 99)};
        QCOMPARE(names(run(items, QStringLiteral("rep"), SortMode::size)),
                 (QStringList{"rep-b", "rep-a", "xrep"}));
    }

    void pillsNarrowByExtensionKey() {
        QList<FileItem> items{folder("docs"), file("a.pdf"), file("B.PDF"), file("README"),
                              file("c.png")};
        QCOMPARE(
            names(run(items, QString(), SortMode::name, {}, {kFolderKey, QStringLiteral("pdf")})),
            (QStringList{"docs", "a.pdf", "B.PDF"}));
        QCOMPARE(names(run(items, QString(), SortMode::name, {}, {kFolderKey})),
                 (QStringList{"docs"}));
        QCOMPARE(run(items, QString()).size(), items.size());
    }

    void largeListsFollowThePlainRules() {
        // Long lists are matched on several threads: chunking must not change the result.
        QList<FileItem> items;
        for (int i = 0; i < 40000; ++i)
            items.append(file(
                "d" + QByteArray::number(i % 97) + "/n" + QByteArray::number(i) + ".txt", i % 5));
        const QSet<QByteArray> hits{"/s/d3/n59999.txt", "/s/d1/n1.txt"};
        for (const QString& query :
             {QStringLiteral("n59"), QStringLiteral("d7/"), QStringLiteral("x")}) {
            for (SortMode mode : kAllSortModes)
                QCOMPARE(names(run(items, query, mode, hits)),
                         names(referenceFilter(items, query, hits, mode)));
        }
    }

    void countLabelTexts() {
        QCOMPARE(countLabelText(SearchMode::hybrid, true, true, 3, 7), QStringLiteral("7 items"));
        QCOMPARE(countLabelText(SearchMode::hybrid, false, true, 3, 7), QStringLiteral("3 of 7"));
        QCOMPARE(countLabelText(SearchMode::hybrid, true, false, 3, 7), QStringLiteral("3 of 7"));
        QCOMPARE(countLabelText(SearchMode::spotlightOnly, true, true, 0, 7),
                 QStringLiteral("0 results"));
        QCOMPARE(countLabelText(SearchMode::hybrid, true, true, 12345, 12345),
                 QStringLiteral("12345 items"));
        QCOMPARE(typeToSearchText(5001), QString::fromUtf8("5001 items — type to search"));
        QCOMPARE(kLoadingText, QString::fromUtf8("Loading…"));
    }
};

class PillTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void extensionKeys() {
        QCOMPARE(extensionKey(file("a.JPG")), QStringLiteral("jpg"));
        QCOMPARE(extensionKey(file("x.tar.gz")), QStringLiteral("gz"));
        QCOMPARE(extensionKey(file("README")), QString());
        QCOMPARE(extensionKey(file(".bashrc")), QString());
        QCOMPARE(extensionKey(file("trailing.")), QString());
        QCOMPARE(extensionKey(file("Version 2.0 final")), QString());
        QCOMPARE(extensionKey(file("photo.ÉTÉ")), QString::fromUtf8("été"));
        QCOMPARE(extensionKey(folder("lib.d")), kFolderKey);
    }

    void mostFrequentTenThenFolders() {
        QList<FileItem> items{folder("dir")};
        for (int e = 0; e < 12; ++e) {
            for (int n = 0; n <= e; ++n)
                items.append(file("f" + QByteArray::number(n) + ".e" + QByteArray::number(e)));
        }
        items.append(file("README"));
        const QList<Pill> pills = countPills(items, true);
        QCOMPARE(pills.size(), 12);
        QCOMPARE(pills.first(), (Pill{QStringLiteral("All"), QString()}));
        QCOMPARE(pills[1], (Pill{QStringLiteral("E11 (12)"), QStringLiteral("e11")}));
        QCOMPARE(pills[10], (Pill{QStringLiteral("E2 (3)"), QStringLiteral("e2")}));
        QCOMPARE(pills.last(), (Pill{QStringLiteral("Folders"), kFolderKey}));
        QCOMPARE(countPills(items, false).size(), 11);  // rebuilt from index results: no "Folders"
    }

    void countsMergeLetterCase() {
        const QList<Pill> pills = countPills({file("a.JPG"), file("b.jpg"), file("README")}, true);
        QCOMPARE(pills, (QList<Pill>{{QStringLiteral("All"), QString()},
                                     {QStringLiteral("JPG (2)"), QStringLiteral("jpg")}}));
    }

    void onlyFolders() {
        const QList<Pill> pills = countPills({folder("a"), folder("b")}, true);
        QCOMPARE(pills, (QList<Pill>{{QStringLiteral("All"), QString()},
                                     {QStringLiteral("Folders"), kFolderKey}}));
        QCOMPARE(countPills({}, true).size(), 1);
    }
};

TARNWICK_TEST(SortTest)
TARNWICK_TEST(FilterTest)
TARNWICK_TEST(PillTest)
#include "FilterAndSortTest.moc"
