#include "PanelFixture.h"
#include "panel/RelativeDate.h"
#include "panel/ResultText.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

const QByteArray kRoot = "/home/ada/Work";

// "START,LENGTH START,LENGTH ..."
QList<TextRange> ranges(const QString& text) {
    QList<TextRange> out;
    for (const QString& range : text.split(u' ', Qt::SkipEmptyParts))
        out.append({range.section(u',', 0, 0).toInt(), range.section(u',', 1).toInt()});
    return out;
}

// A path below kRoot; a trailing '/' makes it a folder.
FileItem itemAt(const QByteArray& relative, qint64 size = 0, qint64 modified = FileItem::kNoDate) {
    const bool folder = relative.endsWith('/');
    return FileItem::fromPath(kRoot + "/" + (folder ? relative.chopped(1) : relative), kRoot,
                              folder, size, modified);
}

}  // namespace

// What a result row says: the query's words marked in the name (also once elided), the
// second line, and the size and age, the age in the largest whole unit.
class ResultTextTest : public QObject {
    Q_OBJECT
    const QDateTime m_now{QDate(2024, 3, 15), QTime(12, 0)};

private Q_SLOTS:
    void highlights_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("marked");
        const char* report = "Report proposal.docx";
        row("every occurrence", "Banana.txt", "an", "1,2 3,2");
        row("every word", report, "re po", "0,2 2,2 10,2");
        row("on from the end", "banana", "ana", "1,3");
        row("adjacent", "aaaa", "aa", "0,2 2,2");
        row("overlapping words merge", "banana", "an na", "1,5");
        row("word within word", "report", "report port", "0,6");
        row("double blank", report, "re  po", "0,2 2,2 10,2");
        row("outer blanks", report, "  re ", "0,2");
        row("tab inside a word", report, "re\tpo", "");
        row("tab matched", "a\tb", "a\tb", "0,3");
        row("empty query", report, "", "");
        row("blank query", report, "   ", "");
        row("umlaut", "Müller Bericht.pdf", "MÜL", "0,3");
        row("cyrillic", "ОТЧЁТ за год", "отчёт", "0,5");
        row("greek", "Ωmega ωmega", "ω", "0,1 6,1");
        row("beyond the BMP", "fun 😀 times 😀", "😀", "4,2 13,2");
    }
    void highlights() {
        QFETCH(QString, name);
        QFETCH(QString, query);
        QFETCH(QString, marked);
        QCOMPARE(highlightRanges(name, query), ranges(marked));
    }

    // "a very long file name.txt" (25) elided to "a very…name.txt": head 6, tail 8.
    void marksFollowTheElidedName_data() {
        QTest::addColumn<QString>("marked");
        QTest::addColumn<QString>("shown");
        row("in the head", "2,4", "2,4");
        row("in the tail", "17,4", "7,4");
        row("cut: the ellipsis", "7,4", "6,1");
        row("across the cut", "4,16", "4,2 6,1 7,3");
        row("two in the cut", "7,2 12,3", "6,1");
    }
    void marksFollowTheElidedName() {
        QFETCH(QString, marked);
        QFETCH(QString, shown);
        const QString name = QStringLiteral("a very long file name.txt");
        const std::optional<ElisionCut> cut =
            middleElisionCut(name, QStringLiteral("a very\u2026name.txt"));
        QVERIFY(cut && cut->head == 6 && cut->tail == 8);
        QCOMPARE(rangesAfterElision(ranges(marked), int(name.size()), *cut), ranges(shown));
        QCOMPARE(middleElisionCut(name, name), std::nullopt);
        QCOMPARE(middleElisionCut(name, QStringLiteral("something else")), std::nullopt);
    }

    // The second line: the snippet (brighter) when there is one, else the folder below the
    // opened one, else the type.
    void secondLine_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QString>("snippet");  // empty: none
        QTest::addColumn<QString>("line");     // a snippet's tone when it starts with '*'
        row("type", QByteArray("notes.TXT"), "", "TXT");
        row("mixed case", QByteArray("Report.Pdf"), "", "PDF");
        row("no extension", QByteArray("README"), "", "File");
        row("dot file", QByteArray(".bashrc"), "", "File");
        row("folder", QByteArray("photos.2024/"), "", "Folder");
        row("below", QByteArray("docs/old/plan.txt"), "", "docs/old");
        row("folder below", QByteArray("docs/old/"), "", "docs");
        row("snippet", QByteArray("docs/old/plan.txt"), "…the plan…", "*…the plan…");
        row("pending", QByteArray("plan.txt"), "Content match", "*Content match");
    }
    void secondLine() {
        QFETCH(QByteArray, path);
        QFETCH(QString, snippet);
        QFETCH(QString, line);
        const SecondLine got = tarnwick::secondLine(
            itemAt(path), snippet.isEmpty() ? std::nullopt : std::optional<QString>(snippet));
        QCOMPARE((got.tone == SecondLine::snippet ? QStringLiteral("*") : QString()) + got.text,
                 line);
    }

    void metaText_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("age");  // empty: no date
        QTest::addColumn<QString>("meta");
        row("kB", QByteArray("a"), qint64(12345), "", "12.3 kB");
        row("bytes", QByteArray("a"), qint64(999), "", "999 bytes");
        row("GB", QByteArray("a"), qint64(5'400'000'000), "", "5.4 GB");
        row("with age", QByteArray("a"), qint64(12345), "2 hr. ago", "12.3 kB  \u00b7  2 hr. ago");
        row("empty, now", QByteArray("a"), qint64(0), "now", "0 bytes  \u00b7  now");
        row("folder", QByteArray("d/"), qint64(4096), "3 days ago", "3 days ago");
        row("folder, no date", QByteArray("d/"), qint64(4096), "", "");
    }
    void metaText() {
        QFETCH(QByteArray, path);
        QFETCH(qint64, size);
        QFETCH(QString, age);
        QFETCH(QString, meta);
        const FileItem item = itemAt(path, size, age.isEmpty() ? FileItem::kNoDate : 1);
        QCOMPARE(tarnwick::metaText(item, age, QLocale(QLocale::English, QLocale::UnitedStates)),
                 meta);
    }

    void picksTheLargestWholeUnit_data() {
        QTest::addColumn<QDateTime>("then");
        QTest::addColumn<int>("unit");
        QTest::addColumn<qint64>("count");
        const QDateTime now = m_now;
        row("same moment", now, int(Age::now), qint64(0));
        row("30 seconds", now.addSecs(-30), int(Age::seconds), qint64(30));
        row("59 minutes", now.addSecs(-3599), int(Age::minutes), qint64(59));
        row("2 hours", now.addSecs(-7300), int(Age::hours), qint64(2));
        row("47 hours", now.addSecs(-47 * 3600), int(Age::days), qint64(1));
        row("6 days", now.addDays(-6), int(Age::days), qint64(6));
        row("7 days", now.addDays(-7), int(Age::weeks), qint64(1));
        row("15 days", now.addDays(-15), int(Age::weeks), qint64(2));
        row("a month less a minute", now.addMonths(-1).addSecs(60), int(Age::weeks), qint64(4));
        row("one month", now.addMonths(-1), int(Age::months), qint64(1));
        row("11 months", now.addMonths(-11), int(Age::months), qint64(11));
        row("12 months", now.addMonths(-12), int(Age::years), qint64(1));
        row("in 2 hours", now.addSecs(7200), int(Age::hours), qint64(-2));
        row("in 3 weeks", now.addDays(21), int(Age::weeks), qint64(-3));
    }
    void picksTheLargestWholeUnit() {
        QFETCH(QDateTime, then);
        QFETCH(int, unit);
        QFETCH(qint64, count);
        QCOMPARE(ageBetween(then, m_now), (Age{Age::Unit(unit), count}));
    }

    // From the end of January, a month has passed at the end of February.
    void monthEndCountsAtTheShorterMonthsEnd() {
        const QDateTime january31(QDate(2023, 1, 31), QTime(9, 0));
        const QDateTime february28(QDate(2023, 2, 28), QTime(9, 0));
        QCOMPARE(ageBetween(january31, february28), (Age{Age::months, 1}));
        QCOMPARE(ageBetween(january31, february28.addSecs(-3600)), (Age{Age::weeks, 3}));
    }

    void formatsShortInTheLocale() {
        const RelativeDateFormatter english(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(english.format(Age{Age::hours, 2}), QStringLiteral("2 hr. ago"));
        QCOMPARE(english.format(Age{Age::weeks, 3}), QStringLiteral("3 wk. ago"));
        QCOMPARE(english.format(Age{Age::seconds, 1}), QStringLiteral("1 sec. ago"));
        QCOMPARE(english.format(Age{Age::hours, -2}), QStringLiteral("in 2 hr."));
        QCOMPARE(english.format(m_now, m_now), QStringLiteral("now"));
        const RelativeDateFormatter german(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(german.format(Age{Age::hours, 2}), QStringLiteral("vor 2 Std."));
    }
};

TARNWICK_TEST(ResultTextTest)
#include "ResultTextTest.moc"
