#include "core/Graphemes.h"
#include "tests/support/TestRunner.h"
#include "text/PassageFinder.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

using namespace tarnwick;

namespace {

// The algorithm over the whole text at once: lowercase code point by code point remembering
// where each lowercased unit came from, find, map back, count clusters in the original.
std::optional<Passage> wholeTextPassage(const QString& text, const QString& query, int before,
                                        int after) {
    const QString needle = query.toLower();
    if (needle.isEmpty()) return std::nullopt;
    QString lowered;
    QList<qsizetype> fromStart, fromEnd;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype width =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2
                                                                                             : 1;
        const QString lower = text.mid(i, width).toLower();
        for (qsizetype k = 0; k < lower.size(); ++k) {
            fromStart << i;
            fromEnd << i + width;
        }
        lowered += lower;
        i += width;
    }
    const qsizetype at = lowered.indexOf(needle);
    if (at < 0) return std::nullopt;
    const qsizetype matchStart = fromStart[at];
    const qsizetype matchEnd = fromEnd[at + needle.size() - 1];
    std::vector<qsizetype> boundaries = graphemeEnds(text);
    boundaries.insert(boundaries.begin(), 0);
    const auto firstNotBefore = std::lower_bound(boundaries.begin(), boundaries.end(), matchStart);
    const qsizetype backwards = std::min<qsizetype>(before, firstNotBefore - boundaries.begin());
    const qsizetype start = backwards > 0 ? *(firstNotBefore - backwards) : matchStart;
    const auto firstAfter = std::upper_bound(boundaries.begin(), boundaries.end(), matchEnd);
    const qsizetype forwards = std::min<qsizetype>(after, boundaries.end() - firstAfter);
    const qsizetype end = forwards > 0 ? *(firstAfter + forwards - 1) : matchEnd;
    return Passage{text.mid(start, end - start), start == 0, end == text.size()};
}

std::optional<Passage> streamedPassage(const QString& text, const QString& query, int before,
                                       int after, QRandomGenerator& random, int largestPiece) {
    PassageFinder finder(query, before, after);
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype length =
            std::min<qsizetype>(1 + random.bounded(largestPiece), text.size() - at);
        if (!finder.feed(QStringView(text).sliced(at, length))) break;
        at += length;
    }
    return finder.finish();
}

const QStringList kPieces = {
    QStringLiteral("a"),
    QStringLiteral("B"),
    QStringLiteral(" "),
    QStringLiteral("\n"),
    QStringLiteral("\r\n"),
    QStringLiteral("e\u0301"),
    QStringLiteral("\u0301"),
    QStringLiteral("İ"),
    QStringLiteral("ß"),
    QStringLiteral("Σ"),
    QStringLiteral("🇩🇪"),
    QStringLiteral("🇩"),
    QStringLiteral("👨\u200D👩\u200D👧"),
    QStringLiteral("\u200D"),
    QStringLiteral("각"),
    QStringLiteral("\u1100\u1161"),
    QStringLiteral("😀"),
    QStringLiteral("\U0001D400"),
    QStringLiteral("ก"),
    QStringLiteral("\u0E35"),
    QStringLiteral("\u0E33"),
    QStringLiteral("👍"),
};

QString randomText(QRandomGenerator& random, int pieces) {
    QString text;
    for (int i = 0; i < pieces; ++i) text += kPieces[random.bounded(int(kPieces.size()))];
    return text;
}

QString randomQuery(const QString& text, QRandomGenerator& random) {
    if (text.isEmpty() || random.bounded(5) == 0) return randomText(random, 1 + random.bounded(3));
    const qsizetype start = random.bounded(int(text.size()));
    QString query = text.mid(start, 1 + random.bounded(6));
    return random.bounded(2) ? query.toUpper() : query;
}

void compare(const std::optional<Passage>& streamed, const std::optional<Passage>& whole) {
    QCOMPARE(bool(streamed), bool(whole));
    if (!whole) return;
    QCOMPARE(streamed->text, whole->text);
    QCOMPARE(streamed->atTextStart, whole->atTextStart);
    QCOMPARE(streamed->atTextEnd, whole->atTextEnd);
}

}  // namespace

class PassageFinderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windowAroundTheFirstOccurrence() {
        const QString text = QString(500, u'x') + QStringLiteral("Needle") + QString(494, u'y');
        PassageFinder finder(QStringLiteral("NEEDLE"), 40, 60);
        finder.feed(text);
        const std::optional<Passage> passage = finder.finish();
        QVERIFY(passage);
        QCOMPARE(passage->text, QString(40, u'x') + QStringLiteral("Needle") + QString(60, u'y'));
        QVERIFY(!passage->atTextStart);
        QVERIFY(!passage->atTextEnd);
    }

    void nearTheEdgesTheWindowReachesThem() {
        PassageFinder finder(QStringLiteral("mid"), 40, 60);
        finder.feed(QString(40, u'a') + QStringLiteral("mid") + QString(60, u'b'));
        const std::optional<Passage> passage = finder.finish();
        QVERIFY(passage && passage->atTextStart && passage->atTextEnd);
    }

    // Lowercasing "İ" gives two code points; the window is still cut at the match's place in the
    // original text, keeping its case.
    void expandingLowercaseBeforeTheMatch() {
        const QString text =
            QString(50, QChar(0x130)) + QStringLiteral("Match") + QString(70, u'z');
        PassageFinder finder(QStringLiteral("match"), 40, 60);
        finder.feed(text);
        const std::optional<Passage> passage = finder.finish();
        QVERIFY(passage);
        QCOMPARE(passage->text,
                 QString(40, QChar(0x130)) + QStringLiteral("Match") + QString(60, u'z'));
    }

    void clustersAreCountedNotCodeUnits() {
        const QString cluster = QStringLiteral("e\u0301\u0302");
        PassageFinder finder(QStringLiteral("x"), 2, 2);
        finder.feed(cluster.repeated(5) + u'x' + cluster.repeated(5));
        QCOMPARE(finder.finish()->text, cluster.repeated(2) + u'x' + cluster.repeated(2));
    }

    // Thai beside emoji: each emoji is one character, never split between its two code units.
    void thaiAndEmojiAreCountedAsCharacters() {
        const QString thumbThai = QStringLiteral("👍กี");
        PassageFinder finder(QStringLiteral("x"), 3, 2);
        finder.feed(thumbThai.repeated(4) + u'x' + thumbThai.repeated(4));
        const std::optional<Passage> passage = finder.finish();
        QVERIFY(passage);
        QCOMPARE(passage->text, QStringLiteral("กี👍กีx👍กี"));
    }

    void absentOrEmptyQueryGivesNothing() {
        PassageFinder absent(QStringLiteral("zebra"), 40, 60);
        absent.feed(QStringLiteral("no such animal"));
        QVERIFY(!absent.finish());
        PassageFinder empty(QString(), 40, 60);
        empty.feed(QStringLiteral("text"));
        QVERIFY(!empty.finish());
    }

    void stopsAskingOnceSettled() {
        PassageFinder finder(QStringLiteral("here"), 40, 60);
        QVERIFY(finder.feed(QString(1000, u'.')));
        QVERIFY(!finder.feed(QStringLiteral("here") + QString(1000, u'.')));
        QCOMPARE(finder.finish()->text.size(), 40 + 4 + 60);
    }

    // Streaming gives what the whole-text algorithm gives, however the text is cut, for texts
    // full of clusters that depend on their neighbours (flags, ZWJ sequences, CR LF, jamo).
    void streamingEqualsWholeText() {
        QRandomGenerator random(42);
        for (int round = 0; round < 3000; ++round) {
            const QString text = randomText(random, random.bounded(120));
            const QString query = randomQuery(text, random);
            const int before = random.bounded(2) ? 40 : random.bounded(5);
            const int after = random.bounded(2) ? 60 : random.bounded(5);
            compare(streamedPassage(text, query, before, after, random, 1 + random.bounded(30)),
                    wholeTextPassage(text, query, before, after));
            if (QTest::currentTestFailed()) return;
        }
    }

    void longTextsInBigPieces() {
        QRandomGenerator random(5);
        for (int round = 0; round < 40; ++round) {
            const QString text = randomText(random, 20000);
            const QString query = text.mid(random.bounded(int(text.size())), 5);
            compare(streamedPassage(text, query, 40, 60, random, 4000),
                    wholeTextPassage(text, query, 40, 60));
            if (QTest::currentTestFailed()) return;
        }
    }

    // One cluster of millions of combining marks: holding it all is refused.
    void givesUpOnAClusterTooLongToHold() {
        PassageFinder finder(QStringLiteral("a"), 40, 60);
        bool wanted = finder.feed(QStringLiteral("a"));
        const QString marks(64 * 1024, QChar(0x301));
        for (int i = 0; i < 100 && wanted; ++i) wanted = finder.feed(marks);
        QVERIFY(!wanted);
        QVERIFY(!finder.finish());
    }
};

TARNWICK_TEST(PassageFinderTest)
#include "PassageFinderTest.moc"
