#include "core/MatchScore.h"
#include "tests/support/TestRunner.h"

#include <QtTest>

#include <unicode/ubrk.h>

#include <random>

using namespace tarnwick;

namespace {

// The rules written as plainly as possible, to check the fast paths against.
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

std::optional<qint64> referenceScore(const QString& query, const QString& text) {
    if (query.isEmpty()) return 0;
    auto fold = [](const QString& s) {
        return s.toLower().normalized(QString::NormalizationForm_C);
    };
    const QStringList q = referenceCharacters(fold(query));
    const QStringList t = referenceCharacters(fold(text));
    for (qsizetype start = 0; start + q.size() <= t.size(); ++start) {
        if (t.mid(start, q.size()) == q) return start == 0 ? 200 : 100;
    }
    qsizetype i = 0;
    qint64 run = 0, score = 0;
    for (const QString& c : t) {
        if (i == q.size()) break;
        if (c == q[i]) {
            ++i;
            score += 2 * ++run;
        } else {
            run = 0;
        }
    }
    return i == q.size() ? std::optional<qint64>(score) : std::nullopt;
}

// Names drawn from pieces that stress folding and segmentation.
QString randomText(std::mt19937& random, int maxPieces, bool asciiOnly) {
    static const QStringList pieces = {QStringLiteral("a"),
                                       QStringLiteral("B"),
                                       QStringLiteral("r"),
                                       QStringLiteral("E"),
                                       QStringLiteral("p"),
                                       QStringLiteral("o"),
                                       QStringLiteral("."),
                                       QStringLiteral(" "),
                                       QStringLiteral("-"),
                                       QStringLiteral("1"),
                                       QStringLiteral("_"),
                                       QStringLiteral("/"),
                                       QString::fromUtf8("é"),
                                       QString::fromUtf8("e\u0301"),
                                       QString::fromUtf8("É"),
                                       QString::fromUtf8("ß"),
                                       QString::fromUtf8("İ"),
                                       QString::fromUtf8("i\u0307"),
                                       QString::fromUtf8("ñ"),
                                       QString::fromUtf8("n\u0303"),
                                       QString::fromUtf8("日本"),
                                       QString::fromUtf8("東京"),
                                       QString::fromUtf8("👍"),
                                       QString::fromUtf8("👍🏽"),
                                       QString::fromUtf8("👨\u200d👩\u200d👧"),
                                       QString::fromUtf8("🇫🇷"),
                                       QString::fromUtf8("Ω"),
                                       QString::fromUtf8("\u2126"),
                                       QString::fromUtf8("K"),
                                       QString::fromUtf8("\u212a"),
                                       QString::fromUtf8("\r\n"),
                                       QString::fromUtf8("\u0301"),
                                       QString::fromUtf8("\u0600"),
                                       QString::fromUtf8("한"),
                                       QString::fromUtf8("\u1100"),
                                       QString::fromUtf8("\u1161"),
                                       QString::fromUtf8("\u0e33"),
                                       QString::fromUtf8("\u200d")};
    constexpr qsizetype kAsciiPieces = 12;
    const qsizetype choices = asciiOnly ? kAsciiPieces : pieces.size();
    QString text;
    int count = int(random() % unsigned(maxPieces + 1));
    for (int i = 0; i < count; ++i) text += pieces[qsizetype(random() % choices)];
    return text;
}

}  // namespace

class MatchScoreTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scoresOfTheRules_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");  // -1: no match
        QTest::newRow("substring at start") << "rep"
                                            << "Report.pdf" << 200;
        QTest::newRow("substring later") << "port"
                                         << "Report.pdf" << 100;
        QTest::newRow("three single runs") << "rpt"
                                           << "Report.pdf" << 6;
        QTest::newRow("run of three then one") << "repd"
                                               << "report.pdf" << 14;
        QTest::newRow("absent letters") << "xyz"
                                        << "report.pdf" << -1;
        QTest::newRow("wrong order") << "ba"
                                     << "ab" << -1;
        QTest::newRow("blanks are characters") << "q1 rep"
                                               << "Q1 Report.pdf" << 200;
        QTest::newRow("words are not split") << "report q1"
                                             << "Q1 Report.pdf" << -1;
        QTest::newRow("empty query") << ""
                                     << "anything" << 0;
        QTest::newRow("query of blanks") << "  "
                                         << "a b" << -1;
        QTest::newRow("upper-case query") << "REP"
                                          << "report" << 200;
        QTest::newRow("composed query, decomposed name")
            << QString::fromUtf8("café") << QString::fromUtf8("Cafe\u0301.txt") << 200;
        QTest::newRow("base letter is not its accented form")
            << "e" << QString::fromUtf8("caf\u00e9") << -1;
        QTest::newRow("half a character is no match")
            << "e" << QString::fromUtf8("cafe\u0301") << -1;
        QTest::newRow("dotted capital I lowercases to two code points")
            << QString::fromUtf8("i\u0307s") << QString::fromUtf8("İSTANBUL") << 200;
        QTest::newRow("emoji are one character")
            << QString::fromUtf8("a👍b") << QString::fromUtf8("xa👍yb") << 8;
        QTest::newRow("a toned emoji is another character")
            << QString::fromUtf8("👍") << QString::fromUtf8("x👍🏽") << -1;
        QTest::newRow("CJK") << QString::fromUtf8("東京") << QString::fromUtf8("日本 東京.jpg")
                             << 100;
        QTest::newRow("Thai does not split emoji")
            << QString::fromUtf8("👍") << QString::fromUtf8("\u0e01👍") << 100;
        QTest::newRow("Kelvin sign folds to k") << "k" << QString::fromUtf8("\u212aelvin") << 200;
    }
    void scoresOfTheRules() {
        QFETCH(QString, query);
        QFETCH(QString, text);
        QFETCH(int, expected);
        std::optional<qint64> got = matchScore(query, text);
        QCOMPARE(got.value_or(-1), qint64(expected));
        QCOMPARE(referenceScore(query, text).value_or(-1), qint64(expected));
    }

    void pathsMatchThroughTheirFolders() {
        PreparedQuery alpha(QStringLiteral("alpha")), proj(QStringLiteral("proj"));
        Matcher byAlpha(alpha), byProj(proj);
        FileItem notes = FileItem::fromPath("/r/projects/alpha/notes.txt", "/r", false, 0);
        QVERIFY(!byAlpha.scoreName(notes));
        QCOMPARE(byAlpha.scorePath(notes).value_or(-1), 100);
        QCOMPARE(byProj.scorePath(notes).value_or(-1), 200);
        FileItem top = FileItem::fromPath("/r/alpha.txt", "/r", false, 0);
        QVERIFY(!byAlpha.scorePath(top));  // nothing between the folder and the name
    }

    // The fast paths (ASCII bytes, prepared queries, paths joined without building strings) must
    // give the plain rules' answer on every kind of name.
    void fastPathsAgreeWithTheRules() {
        std::mt19937 random(20261206);
        for (int round = 0; round < 20000; ++round) {
            // Mostly ASCII, which takes the byte-wise path, and the rest anything.
            const bool ascii = round % 4 != 0;
            const QString query = randomText(random, 3, ascii && round % 8 != 1);
            const QString dir = randomText(random, 6, ascii).remove(u'/');
            const QString name = randomText(random, 8, ascii).remove(u'/');
            if (name.isEmpty() || name == u".") continue;
            const QByteArray path =
                "/root/" + (dir.isEmpty() ? QByteArray() : dir.toUtf8() + '/') + name.toUtf8();
            FileItem item = FileItem::fromPath(path, "/root", false, 0);
            PreparedQuery prepared(query);
            Matcher matcher(prepared);
            const auto nameScore = matcher.scoreName(item);
            if (nameScore.value_or(-1) != referenceScore(query, name).value_or(-1))
                QFAIL(qPrintable(QStringLiteral("query '%1' name '%2'").arg(query, name)));
            QCOMPARE(matchScore(query, name).value_or(-1), nameScore.value_or(-1));
            if (round % 50 == 0) {
                // A fold too long to keep beside the name is made on the spot.
                const FileItem unstored = FileItem::fromPath(
                    path + QString(100, QChar(0x130)).toUtf8(), "/root", false, 0);
                QVERIFY(!unstored.hasStoredFold());
                QCOMPARE(matcher.scoreName(unstored).value_or(-1),
                         referenceScore(query, unstored.name()).value_or(-1));
            }
            const auto pathScore = matcher.scorePath(item);
            const auto expected =
                dir.isEmpty() ? std::nullopt : referenceScore(query, dir + u'/' + name);
            if (pathScore.value_or(-1) != expected.value_or(-1))
                QFAIL(qPrintable(QStringLiteral("query '%1' path '%2/%3'").arg(query, dir, name)));
        }
    }
};

TARNWICK_TEST(MatchScoreTest)
#include "MatchScoreTest.moc"
