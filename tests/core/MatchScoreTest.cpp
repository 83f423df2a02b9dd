#include "core/Graphemes.h"
#include "core/MatchScore.h"
#include "tests/support/TestRunner.h"

#include <QtTest>

#include <unicode/ubrk.h>

#include <random>
#include <tuple>

using namespace tarnwick;

namespace {

// User-perceived characters as ICU's own iterator finds them.
QStringList referenceCharacters(const QString& text) {
    QStringList out;
    UErrorCode status = U_ZERO_ERROR;
    UBreakIterator* it = ubrk_open(UBRK_CHARACTER, "", reinterpret_cast<const UChar*>(text.utf16()),
                                   int32_t(text.size()), &status);
    int32_t start = 0;
    for (int32_t end = ubrk_next(it); end != UBRK_DONE; end = ubrk_next(it)) {
        out.append(text.mid(start, end - start));
        start = end;
    }
    ubrk_close(it);
    return out;
}

// The rules written as plainly as possible, to check the fast paths against.
std::optional<qint64> referenceScore(const QString& query, const QString& text) {
    if (query.isEmpty()) return 0;
    auto fold = [](const QString& s) {
        return s.toLower().normalized(QString::NormalizationForm_C);
    };
    const QStringList q = referenceCharacters(fold(query));
    const QStringList t = referenceCharacters(fold(text));
    for (qsizetype start = 0; start + q.size() <= t.size(); ++start) {
        if (t.mid(start, q.size()) == q) return start == 0 ? kScoreAtStart : kScoreElsewhere;
    }
    qsizetype matched = 0;
    qint64 run = 0, score = 0;
    for (const QString& c : t) {
        if (matched == q.size()) break;
        if (c == q[matched]) {
            ++matched;
            score += kRunBonus * ++run;
        } else {
            run = 0;
        }
    }
    return matched == q.size() ? std::optional<qint64>(score) : std::nullopt;
}

// Pieces that stress folding and segmentation; the first twelve are ASCII.
const QStringList kPieces =
    QString::fromUtf8(
        "a|B|r|E|p|o|.| |-|1|_|/|é|e\u0301|É|ß|İ|i\u0307|ñ|n\u0303|日本|東京|👍|"
        "👍🏽|👨\u200d👩\u200d👧|🇫🇷|Ω|\u2126|K|\u212a|\r\n|\u0301|\u0600|한|"
        "\u1100|\u1161|\u0e01|\u0e33|\u0e35|\u200d|\U0001D400")
        .split(u'|');

QString randomText(std::mt19937& random, int maxPieces, bool asciiOnly) {
    const qsizetype choices = asciiOnly ? 12 : kPieces.size();
    QString text;
    for (int i = int(random() % unsigned(maxPieces + 1)); i > 0; --i)
        text += kPieces[qsizetype(random() % choices)];
    return text;
}

}  // namespace

class MatchScoreTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each through the fast paths (ASCII bytes, prepared queries, names kept as bytes) and the
    // plain rules alike. Among them names the random ones hardly make: a byte that is not UTF-8, a
    // query opening on a pair of surrogates, a three-byte character whose first byte is the lowest.
    void scoresOfTheRules_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<qint64>("expected");  // -1: no match
        auto row = [](const char* name, const char* query, const char* text, qint64 expected) {
            QTest::newRow(name) << QString::fromUtf8(query) << QByteArray(text) << expected;
        };
        row("substring at start", "rep", "Report.pdf", kScoreAtStart);
        row("substring later", "port", "Report.pdf", kScoreElsewhere);
        row("three single runs", "rpt", "Report.pdf", kRunBonus * (1 + 1 + 1));
        row("run of three then one", "repd", "report.pdf", kRunBonus * (1 + 2 + 3 + 1));
        row("wrong order", "ba", "ab", -1);
        row("blanks are characters", "q1 rep", "Q1 Report.pdf", kScoreAtStart);
        row("words are not split", "report q1", "Q1 Report.pdf", -1);
        row("empty query", "", "anything", 0);
        row("composed query, decomposed name", "café", "Cafe\u0301.txt", kScoreAtStart);
        row("base letter is not its accented form", "e", "caf\u00e9", -1);
        row("half a character is no match", "e", "cafe\u0301", -1);
        row("dotted capital I folds to two code points", "i\u0307s", "İSTANBUL", kScoreAtStart);
        row("emoji are one character", "a👍b", "xa👍yb", kRunBonus * (1 + 2 + 1));
        row("Thai does not split emoji", "👍", "\u0e01👍", kScoreElsewhere);
        row("not UTF-8", "\uFFFD", "a\x80z", kScoreElsewhere);
        row("surrogates first", "👍x", "a👍bx", kRunBonus * 2);
        row("lowest three-byte lead", "กx", "กyx", kRunBonus * 2);
    }
    void scoresOfTheRules() {
        QFETCH(QString, query);
        QFETCH(QByteArray, name);
        QFETCH(qint64, expected);
        const PreparedQuery prepared(query);
        const FileItem item = FileItem::fromPath("/root/" + name, "/root", false, 0);
        QCOMPARE(matchScore(query, QString::fromUtf8(name)).value_or(-1), expected);
        QCOMPARE(Matcher(prepared).scoreName(item).value_or(-1), expected);
    }

    // The fast paths must give the plain rules' answer on every kind of name: mostly ASCII, which
    // takes the byte-wise path, and the rest anything.
    void fastPathsAgreeWithTheRules() {
        std::mt19937 random(20261206);
        for (int round = 0; round < 20000; ++round) {
            const bool ascii = round % 4 != 0;
            const QString query = randomText(random, 3, ascii && round % 8 != 1);
            const QString dir = randomText(random, 6, ascii).remove(u'/');
            // Every fiftieth name too long for its fold to be kept beside it: folded on the spot.
            const QString name = randomText(random, 8, ascii).remove(u'/') +
                                 QString(round % 50 ? 0 : 100, QChar(0x130));
            if (name.isEmpty() || name == u".") continue;
            const QByteArray path =
                "/root/" + (dir.isEmpty() ? QByteArray() : dir.toUtf8() + '/') + name.toUtf8();
            const FileItem item = FileItem::fromPath(path, "/root", false, 0);
            const PreparedQuery prepared(query);
            Matcher matcher(prepared);
            const QString context = QStringLiteral("query '%1' path '%2/%3'").arg(query, dir, name);
            QVERIFY2(matcher.scoreName(item) == referenceScore(query, name), qPrintable(context));
            // Nothing between the searched folder and the name: no path to match.
            QVERIFY2(matcher.scorePath(item) ==
                         (dir.isEmpty() ? std::nullopt : referenceScore(query, dir + u'/' + name)),
                     qPrintable(context));
        }
    }

    // Walks over user-perceived characters stop at their edges, and at the ends of the text.
    void graphemeWalks() {
        // Qt 6.4's own boundary finder splits the emoji here once Thai is present.
        QCOMPARE(graphemeEnds(QStringLiteral("ก👍e\u0301")), (std::vector<qsizetype>{1, 3, 5}));
        QCOMPARE(graphemeCount(QStringLiteral("กี👍ก")), 3);
        const QString text = QStringLiteral("ก👍e\u0301"),
                      inside = QStringLiteral("xe\u0301\u0302y");
        // text, from, count, forward: where the walk stops and how many characters it passed
        const std::tuple<QString, int, int, bool, int, int> walks[] = {
            {text, 5, 2, false, 1, 2},   {text, 5, 9, false, 0, 3},  {text, 0, 2, true, 3, 2},
            {text, 1, 9, true, 5, 2},    {text, 5, 3, true, 5, 0},   {inside, 3, 1, false, 1, 1},
            {inside, 3, 2, false, 0, 2}, {inside, 2, 1, true, 4, 1}, {inside, 2, 2, true, 5, 2},
            {text, 0, 3, false, 0, 0},   {text, 3, 0, true, 3, 0}};
        for (auto [s, from, count, forward, to, passed] : walks) {
            const GraphemeWalk walk =
                forward ? graphemesForward(s, from, count) : graphemesBack(s, from, count);
            QCOMPARE(QPair(walk.position, walk.passed), QPair(qsizetype(to), passed));
        }
    }
};

TARNWICK_TEST(MatchScoreTest)
#include "MatchScoreTest.moc"
