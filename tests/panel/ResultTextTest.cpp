#include "panel/RelativeDate.h"
#include "panel/ResultText.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using namespace tarnwick;

namespace {

const QByteArray kRoot = "/home/ada/Work";

FileItem fileAt(const QByteArray& relative, qint64 size = 0,
                qint64 modifiedMsecs = FileItem::kNoDate) {
    return FileItem::fromPath(kRoot + "/" + relative, kRoot, false, size, modifiedMsecs);
}

FileItem folderAt(const QByteArray& relative, qint64 modifiedMsecs = FileItem::kNoDate) {
    return FileItem::fromPath(kRoot + "/" + relative, kRoot, true, 4096, modifiedMsecs);
}

QList<TextRange> ranges(std::initializer_list<std::pair<int, int>> list) {
    QList<TextRange> out;
    for (auto [start, length] : list) out.append({start, length});
    return out;
}

}  // namespace

class HighlightTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void marksEveryOccurrenceOfEveryWord() {
        QCOMPARE(highlightRanges(QStringLiteral("Banana.txt"), QStringLiteral("an")),
                 ranges({{1, 2}, {3, 2}}));
        // "Re" at the start, "po" in Report and in proposal.
        QCOMPARE(highlightRanges(QStringLiteral("Report proposal.docx"), QStringLiteral("re po")),
                 ranges({{0, 2}, {2, 2}, {10, 2}}));
    }

    void searchesOnFromTheEndOfEachOccurrence() {
        // "ana" found at 1; the next search starts at 4, so the overlapping one at 3 is not.
        QCOMPARE(highlightRanges(QStringLiteral("banana"), QStringLiteral("ana")),
                 ranges({{1, 3}}));
        QCOMPARE(highlightRanges(QStringLiteral("aaaa"), QStringLiteral("aa")),
                 ranges({{0, 2}, {2, 2}}));
    }

    void overlappingWordsMerge() {
        QCOMPARE(highlightRanges(QStringLiteral("banana"), QStringLiteral("an na")),
                 ranges({{1, 5}}));
        QCOMPARE(highlightRanges(QStringLiteral("report"), QStringLiteral("report port")),
                 ranges({{0, 6}}));
    }

    void splitsAtBlanksOnly() {
        const QString name = QStringLiteral("Report proposal.docx");
        QCOMPARE(highlightRanges(name, QStringLiteral("re  po")),
                 highlightRanges(name, QStringLiteral("re po")));
        QCOMPARE(highlightRanges(name, QStringLiteral("  re ")), ranges({{0, 2}}));
        // A tab stays inside its word, which then matches nowhere.
        QVERIFY(highlightRanges(name, QStringLiteral("re\tpo")).isEmpty());
        QCOMPARE(highlightRanges(QStringLiteral("a\tb"), QStringLiteral("a\tb")), ranges({{0, 3}}));
        QVERIFY(highlightRanges(name, QString()).isEmpty());
        QVERIFY(highlightRanges(name, QStringLiteral("   ")).isEmpty());
    }

    void ignoresCaseBeyondAscii() {
        QCOMPARE(highlightRanges(QStringLiteral("Müller Bericht.pdf"), QStringLiteral("MÜL")),
                 ranges({{0, 3}}));
        QCOMPARE(highlightRanges(QStringLiteral("ОТЧЁТ за год"), QStringLiteral("отчёт")),
                 ranges({{0, 5}}));
        QCOMPARE(highlightRanges(QStringLiteral("Ωmega ωmega"), QStringLiteral("ω")),
                 ranges({{0, 1}, {6, 1}}));
        // A character outside the BMP spans two UTF-16 units.
        QCOMPARE(highlightRanges(QStringLiteral("fun 😀 times 😀"), QStringLiteral("😀")),
                 ranges({{4, 2}, {13, 2}}));
    }

    void elisionCutIsFoundFromBothTexts() {
        const QString name = QStringLiteral("a very long file name.txt");
        const QString elided = QStringLiteral("a very\u2026name.txt");
        const std::optional<ElisionCut> cut = middleElisionCut(name, elided);
        QVERIFY(cut);
        QCOMPARE(cut->head, 6);
        QCOMPARE(cut->tail, 8);
        QCOMPARE(middleElisionCut(name, name), std::nullopt);
        QCOMPARE(middleElisionCut(name, QStringLiteral("something else")), std::nullopt);
    }

    void marksFollowTheElidedName() {
        // "a very long file name.txt" elided to "a very…name.txt": head 6, tail 8.
        const ElisionCut cut{6, 8};
        const int length = 25;
        // "very" is in the head, "name" in the tail (17 -> 7), "long" was cut: the ellipsis.
        QCOMPARE(rangesAfterElision(ranges({{2, 4}}), length, cut), ranges({{2, 4}}));
        QCOMPARE(rangesAfterElision(ranges({{17, 4}}), length, cut), ranges({{7, 4}}));
        QCOMPARE(rangesAfterElision(ranges({{7, 4}}), length, cut), ranges({{6, 1}}));
        // Reaching across the cut: the head's part, the ellipsis and the tail's part.
        QCOMPARE(rangesAfterElision(ranges({{4, 16}}), length, cut),
                 ranges({{4, 2}, {6, 1}, {7, 3}}));
        // Two ranges inside the cut mark the ellipsis once.
        QCOMPARE(rangesAfterElision(ranges({{7, 2}, {12, 3}}), length, cut), ranges({{6, 1}}));
    }
};

class SecondLineTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void locationLineForTopLevelItems() {
        QCOMPARE(secondLine(fileAt("notes.TXT"), std::nullopt),
                 (SecondLine{QStringLiteral("TXT"), SecondLine::location}));
        QCOMPARE(secondLine(fileAt("Report.Pdf"), std::nullopt).text, QStringLiteral("PDF"));
        QCOMPARE(secondLine(fileAt("README"), std::nullopt).text, QStringLiteral("File"));
        QCOMPARE(secondLine(fileAt(".bashrc"), std::nullopt).text, QStringLiteral("File"));
        QCOMPARE(secondLine(folderAt("photos.2024"), std::nullopt).text, QStringLiteral("Folder"));
    }

    void relativeFolderWinsOverType() {
        QCOMPARE(secondLine(fileAt("docs/old/plan.txt"), std::nullopt).text,
                 QStringLiteral("docs/old"));
        QCOMPARE(secondLine(folderAt("docs/old"), std::nullopt).text, QStringLiteral("docs"));
    }

    void snippetWinsAndIsBrighter() {
        const SecondLine line =
            secondLine(fileAt("docs/old/plan.txt"), QStringLiteral("…the budget plan for…"));
        QCOMPARE(line.text, QStringLiteral("…the budget plan for…"));
        QCOMPARE(line.tone, SecondLine::snippet);
        QCOMPARE(secondLine(fileAt("plan.txt"), QStringLiteral("Content match")).tone,
                 SecondLine::snippet);
    }
};

class MetaTextTest : public QObject {
    Q_OBJECT
    const QLocale m_english{QLocale::English, QLocale::UnitedStates};

private Q_SLOTS:
    void sizesAreShortDecimalUnits() {
        QCOMPARE(sizeText(12345, m_english), QStringLiteral("12.3 kB"));
        QCOMPARE(sizeText(999, m_english), QStringLiteral("999 bytes"));
        QCOMPARE(sizeText(5'400'000'000, m_english), QStringLiteral("5.4 GB"));
    }

    void filesShowSizeAndAge() {
        const FileItem file = fileAt("a.txt", 12345, 1);
        QCOMPARE(metaText(file, QStringLiteral("2 hr. ago"), m_english),
                 QStringLiteral("12.3 kB  \u00b7  2 hr. ago"));
    }

    void fileWithoutDateShowsSizeAlone() {
        QCOMPARE(metaText(fileAt("a.txt", 12345), QString(), m_english), QStringLiteral("12.3 kB"));
    }

    void foldersNeverShowASize() {
        QCOMPARE(metaText(folderAt("docs", 1), QStringLiteral("3 days ago"), m_english),
                 QStringLiteral("3 days ago"));
        QCOMPARE(metaText(folderAt("docs"), QString(), m_english), QString());
    }

    void emptyFileJustModified() {
        const RelativeDateFormatter dates(m_english);
        const QDateTime now = QDateTime::currentDateTime();
        QCOMPARE(metaText(fileAt("empty", 0, now.toMSecsSinceEpoch()), dates.format(now, now),
                          m_english),
                 sizeText(0, m_english) + QStringLiteral("  \u00b7  now"));
    }
};

class RelativeDateTest : public QObject {
    Q_OBJECT
    const QDateTime m_now{QDate(2024, 3, 15), QTime(12, 0)};

private Q_SLOTS:
    void picksTheLargestWholeUnit_data() {
        QTest::addColumn<QDateTime>("then");
        QTest::addColumn<int>("unit");
        QTest::addColumn<qint64>("count");
        const QDateTime now = m_now;
        QTest::newRow("same moment") << now << int(Age::now) << qint64(0);
        QTest::newRow("30 seconds") << now.addSecs(-30) << int(Age::seconds) << qint64(30);
        QTest::newRow("59 minutes") << now.addSecs(-3599) << int(Age::minutes) << qint64(59);
        QTest::newRow("2 hours") << now.addSecs(-7300) << int(Age::hours) << qint64(2);
        QTest::newRow("47 hours") << now.addSecs(-47 * 3600) << int(Age::days) << qint64(1);
        QTest::newRow("6 days") << now.addDays(-6) << int(Age::days) << qint64(6);
        QTest::newRow("15 days") << now.addDays(-15) << int(Age::weeks) << qint64(2);
        QTest::newRow("a month less a minute")
            << now.addMonths(-1).addSecs(60) << int(Age::weeks) << qint64(4);
        QTest::newRow("one month") << now.addMonths(-1) << int(Age::months) << qint64(1);
        QTest::newRow("11 months") << now.addMonths(-11) << int(Age::months) << qint64(11);
        QTest::newRow("13 months") << now.addMonths(-13) << int(Age::years) << qint64(1);
        QTest::newRow("in 2 hours") << now.addSecs(7200) << int(Age::hours) << qint64(-2);
        QTest::newRow("in 3 weeks") << now.addDays(21) << int(Age::weeks) << qint64(-3);
    }
    void picksTheLargestWholeUnit() {
        QFETCH(QDateTime, then);
        QFETCH(int, unit);
        QFETCH(qint64, count);
        QCOMPARE(ageBetween(then, m_now), (Age{Age::Unit(unit), count}));
    }

    void monthEndCountsAtTheShorterMonthsEnd() {
        const QDateTime endOfJanuary(QDate(2023, 1, 31), QTime(9, 0));
        QCOMPARE(ageBetween(endOfJanuary, QDateTime(QDate(2023, 2, 28), QTime(9, 0))),
                 (Age{Age::months, 1}));
        QCOMPARE(ageBetween(endOfJanuary, QDateTime(QDate(2023, 2, 28), QTime(8, 0))),
                 (Age{Age::weeks, 3}));
    }

    void formatsShortInTheLocale() {
        const RelativeDateFormatter english(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(english.format(Age{Age::hours, 2}), QStringLiteral("2 hr. ago"));
        QCOMPARE(english.format(Age{Age::weeks, 3}), QStringLiteral("3 wk. ago"));
        QCOMPARE(english.format(Age{Age::seconds, 1}), QStringLiteral("1 sec. ago"));
        QCOMPARE(english.format(Age{Age::hours, -2}), QStringLiteral("in 2 hr."));
        QCOMPARE(english.format(Age{Age::now, 0}), QStringLiteral("now"));
        const RelativeDateFormatter german(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(german.format(Age{Age::hours, 2}), QStringLiteral("vor 2 Std."));
    }
};

TARNWICK_TEST(HighlightTest)
TARNWICK_TEST(SecondLineTest)
TARNWICK_TEST(MetaTextTest)
TARNWICK_TEST(RelativeDateTest)
#include "ResultTextTest.moc"
