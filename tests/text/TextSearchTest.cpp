#include "core/Graphemes.h"
#include "tests/support/TestRunner.h"
#include "text/ContentFolding.h"
#include "text/FoldedTextStream.h"
#include "text/NeedleSearch.h"
#include "text/PassageFinder.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

using namespace tarnwick;

namespace {

template <typename Table>
void addRows(const Table& table) {
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(table)); ++i) QTest::newRow(table[i].name) << i;
}

QString randomText(QRandomGenerator& random, const QStringList& pieces, int count) {
    QString text;
    while (count-- > 0) text += pieces[random.bounded(int(pieces.size()))];
    return text;
}

// Read from the desktop index itself (SELECT tracker:unaccent(tracker:case-fold(~x))).
const struct {
    const char* name;
    QString text, folded;
} kFolds[] = {
    {"sharp s expands", "Ḱßẞ", "kssss"},
    {"titlecase digraph", "ǅ", "dz"},
    {"ligature", "ﬁ", "fi"},
    {"fold before decomposition", "ℌ", "H"},
    {"dotted capital I", "İ", "i"},
    {"accents", "e\u0301Í", "ei"},
    {"hebrew point and cyrillic titlo stay", "\u05D0\u05B8\u0483", "\u05D0\u05B8\u0483"},
    {"no final sigma", "ΣΑΣ", "σασ"},
    {"ascii letter ends", "@AZ[`az{", "@az[`az{"},
    {"many times longer", "\uFDFA", "صلى الله عليه وسلم"},
};

// A passage as a snippet shows it: "…" where it stops short of the text's start or end.
QString shown(const std::optional<Passage>& passage) {
    if (!passage) return QStringLiteral("none");
    return (passage->atTextStart ? "" : "…") + passage->text + (passage->atTextEnd ? "" : "…");
}

// The algorithm over the whole text at once: lowercase code point by code point remembering
// where each lowercased unit came from, find, map back, count clusters in the original.
QString wholeTextPassage(const QString& text, const QString& query, int before, int after) {
    const QString needle = query.toLower();
    QString lowered;
    QList<qsizetype> fromStart, fromEnd;
    for (qsizetype i = 0, width = 1; i < text.size(); i += width) {
        width =
            1 + (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate());
        const QString lower = text.mid(i, width).toLower();
        fromStart.append(QList<qsizetype>(lower.size(), i));
        fromEnd.append(QList<qsizetype>(lower.size(), i + width));
        lowered += lower;
    }
    const qsizetype at = lowered.indexOf(needle);
    if (needle.isEmpty() || at < 0) return shown(std::nullopt);
    std::vector<qsizetype> bounds = graphemeEnds(text);
    bounds.insert(bounds.begin(), 0);
    const auto first = std::lower_bound(bounds.begin(), bounds.end(), fromStart[at]);
    const qsizetype back = std::min<qsizetype>(before, first - bounds.begin());
    const qsizetype start = back > 0 ? *(first - back) : fromStart[at];
    const qsizetype matchEnd = fromEnd[at + needle.size() - 1];
    const auto next = std::upper_bound(bounds.begin(), bounds.end(), matchEnd);
    const qsizetype forth = std::min<qsizetype>(after, bounds.end() - next);
    const qsizetype end = forth > 0 ? *(next + forth - 1) : matchEnd;
    return shown(Passage{text.mid(start, end - start), start == 0, end == text.size()});
}

// The text fed whole, or in random pieces of up to `largest` units.
QString streamed(const QString& text, const QString& query, int before, int after,
                 QRandomGenerator* random = nullptr, int largest = 1) {
    PassageFinder finder(query, before, after);
    for (qsizetype at = 0, length = text.size(); at < text.size(); at += length) {
        if (random) length = std::min<qsizetype>(1 + random->bounded(largest), text.size() - at);
        if (!finder.feed(QStringView(text).sliced(at, length))) break;
    }
    return shown(finder.finish());
}

// Clusters that depend on their neighbours: flags, ZWJ sequences, CR LF, jamo, Thai, marks.
const QStringList kPassagePieces =
    QStringLiteral(
        "a|B| "
        "|\n|\r\n|e\u0301|\u0301|İ|ß|Σ|🇩🇪|🇩|👨\u200D👩\u200D👧|\u200D|각|\u1100\u1161|😀|\U0001D400|ก|"
        "\u0E35|\u0E33|👍")
        .split(u'|');

QString randomQuery(const QString& text, QRandomGenerator& random) {
    if (text.isEmpty() || random.bounded(5) == 0)
        return randomText(random, kPassagePieces, 1 + random.bounded(3));
    const QString query = text.mid(random.bounded(int(text.size())), 1 + random.bounded(6));
    return random.bounded(2) ? query.toUpper() : query;
}

QString around(int before, const QString& match, int after, QChar b = u'a', QChar a = u'b') {
    return QString(before, b) + match + QString(after, a);
}

const QString kCutPair = around(0, "needle", 60) + QChar(0xD83D);  // a lone high surrogate ends it
// The window of up to `before` and `after` characters around the first occurrence, cut from
// the original text.
const struct {
    const char* name;
    QString text, query;
    int before, after;
    QString passage;
} kWindows[] = {
    {"reaching both ends", around(40, "mid", 60), "mid", 40, 60, around(40, "mid", 60)},
    {"one short of both ends", around(41, "mid", 61), "mid", 40, 60,
     "…" + around(40, "mid", 60) + "…"},
    {"pending surrogate", kCutPair, "needle", 40, 60, around(0, "needle", 60) + "…"},
};

}  // namespace

// Content folding as the index does it, whole and streamed, and the byte search over it.
class ContentFoldingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void agreesWithTheIndex_data() { addRows(kFolds); }
    void agreesWithTheIndex() {
        QFETCH(int, row);
        QCOMPARE(foldForContentMatch(kFolds[row].text), kFolds[row].folded);
        QCOMPARE(foldUtf8ForContentMatch(kFolds[row].text.toUtf8()), kFolds[row].folded.toUtf8());
    }

    // Pieces that end or start inside a run of marks that normalization reorders (a vowel sign of
    // class 130 ending in byte 0x80 before one of class 129), and a long text without any ASCII,
    // which is folded as it streams instead of being held to its end.
    void runsAcrossPieces_data() {
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<bool>("foldedBeforeTheEnd");
        QTest::newRow("run ends a piece") << QStringList{"ཀ\u0F80", "\u0F71"} << false;
        QTest::newRow("run starts a piece") << QStringList{"x\u0F72", "\u0F80\u0F71y"} << true;
        QTest::newRow("no ascii") << QStringList(3000, QStringLiteral("東東東東東東Ḁ")) << true;
    }
    void runsAcrossPieces() {
        QFETCH(QStringList, pieces);
        QFETCH(bool, foldedBeforeTheEnd);
        FoldedTextStream stream;
        QByteArray out;
        for (const QString& piece : pieces) stream.fold(piece.toUtf8(), out);
        QCOMPARE(!out.isEmpty(), foldedBeforeTheEnd);
        stream.finish(out);
        QCOMPARE(out, foldUtf8ForContentMatch(pieces.join(QString()).toUtf8()));
    }

    // A match straddling one seam, or several pieces shorter than the needle.
    void needleFoundAcrossSeams() {
        StreamingNeedleSearch seams("abc");
        QVERIFY(!seams.feed("xa") && !seams.feed("b") && seams.feed("cy") && seams.found());
        StreamingNeedleSearch late("abc");
        QVERIFY(!late.feed("xab") && late.feed("c"));
        QVERIFY(!containsBytes("ab", "abc") && containsBytes("xabc", "abc") &&
                containsBytes("", ""));
    }
};

class PassageFinderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windows_data() { addRows(kWindows); }
    void windows() {
        QFETCH(int, row);
        const auto& w = kWindows[row];
        QCOMPARE(streamed(w.text, w.query, w.before, w.after), w.passage);
    }

    void stopsAskingOnceSettled() {
        PassageFinder finder(QStringLiteral("here"), 40, 60);
        QVERIFY(finder.feed(QString(1000, u'.')));
        QVERIFY(!finder.feed(QStringLiteral("here") + QString(1000, u'.')));
        QCOMPARE(finder.finish()->text.size(), 40 + 4 + 60);
    }

    // Streaming gives what the whole-text algorithm gives, however the text is cut.
    void streamingEqualsWholeText() {
        QRandomGenerator random(42);
        for (int round = 0; round < 3000; ++round) {
            const QString text = randomText(random, kPassagePieces, random.bounded(120));
            const QString query = randomQuery(text, random);
            const int before = random.bounded(2) ? 40 : random.bounded(5);
            const int after = random.bounded(2) ? 60 : random.bounded(5);
            QCOMPARE(streamed(text, query, before, after, &random, 1 + random.bounded(30)),
                     wholeTextPassage(text, query, before, after));
        }
        QRandomGenerator big(5);
        for (int round = 0; round < 40; ++round) {
            const QString text = randomText(big, kPassagePieces, 20000);
            const QString query = text.mid(big.bounded(int(text.size())), 5);
            QCOMPARE(streamed(text, query, 40, 60, &big, 4000),
                     wholeTextPassage(text, query, 40, 60));
        }
    }

    // One cluster of millions of combining marks: holding it all is refused.
    void givesUpOnAClusterTooLongToHold() {
        PassageFinder finder(QStringLiteral("a"), 40, 60);
        bool wanted = finder.feed(QStringLiteral("a"));
        for (int i = 0; i < 100 && wanted; ++i)
            wanted = finder.feed(QString(64 * 1024, QChar(0x301)));
        QVERIFY(!wanted);
        QVERIFY(!finder.finish());
    }
};

TARNWICK_TEST(ContentFoldingTest)
TARNWICK_TEST(PassageFinderTest)
#include "TextSearchTest.moc"
