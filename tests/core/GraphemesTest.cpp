#include "core/Graphemes.h"
#include "tests/support/TestRunner.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

using namespace tarnwick;

namespace {

const QStringList kPieces = {
    QStringLiteral("a"),      QStringLiteral("\r\n"), QStringLiteral("e\u0301"),
    QStringLiteral("\u0301"), QStringLiteral("🇩🇪"),   QStringLiteral("👨\u200D👩\u200D👧"),
    QStringLiteral("각"),     QStringLiteral("ก"),    QStringLiteral("\u0E35"),
    QStringLiteral("\u0E33"), QStringLiteral("👍"),    QStringLiteral("\U0001D400"),
};

QString randomText(QRandomGenerator& random) {
    QString text;
    for (int i = random.bounded(12); i > 0; --i)
        text += kPieces[random.bounded(int(kPieces.size()))];
    return text;
}

}  // namespace

// Walking over user-perceived characters, checked against the list of their ends.
class GraphemesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Qt 6.4's own boundary finder splits the emoji here once Thai is present.
    void thaiBesideEmojiKeepsTheEmojiWhole() {
        QCOMPARE(graphemeEnds(QStringLiteral("ก👍")), (std::vector<qsizetype>{1, 3}));
        QCOMPARE(graphemeCount(QStringLiteral("กี👍ก")), 3);
    }

    void walksStopAtTheEdges() {
        const QString text = QStringLiteral("ก👍e\u0301");  // boundaries 0 1 3 5
        QCOMPARE(graphemesBack(text, 5, 2).position, 1);
        QCOMPARE(graphemesBack(text, 5, 9).position, 0);
        QCOMPARE(graphemesBack(text, 5, 9).passed, 3);
        QCOMPARE(graphemesForward(text, 0, 2).position, 3);
        QCOMPARE(graphemesForward(text, 1, 9).position, 5);
        QCOMPARE(graphemesForward(text, 1, 9).passed, 2);
        QCOMPARE(graphemesBack(text, 0, 3).passed, 0);
        QCOMPARE(graphemesForward(text, 5, 3).passed, 0);
        QCOMPARE(graphemesForward(text, 3, 0).position, 3);
    }

    // From inside a character the first step reaches that character's own edge.
    void startingInsideACharacter() {
        const QString text = QStringLiteral("xe\u0301\u0302y");  // boundaries 0 1 4 5
        QCOMPARE(graphemesBack(text, 3, 1).position, 1);
        QCOMPARE(graphemesBack(text, 3, 2).position, 0);
        QCOMPARE(graphemesForward(text, 2, 1).position, 4);
        QCOMPARE(graphemesForward(text, 2, 2).position, 5);
    }

    void walksAgreeWithTheCharacterEnds() {
        QRandomGenerator random(7);
        for (int round = 0; round < 500; ++round) {
            const QString text = randomText(random);
            std::vector<qsizetype> boundaries = graphemeEnds(text);
            boundaries.insert(boundaries.begin(), 0);
            const qsizetype last = qsizetype(boundaries.size()) - 1;
            for (qsizetype i = 0; i <= last; ++i) {
                const int count = random.bounded(4);
                const qsizetype back = std::max<qsizetype>(0, i - count);
                const qsizetype ahead = std::min(last, i + count);
                const GraphemeWalk b = graphemesBack(text, boundaries[size_t(i)], count);
                const GraphemeWalk f = graphemesForward(text, boundaries[size_t(i)], count);
                QCOMPARE(b.position, boundaries[size_t(back)]);
                QCOMPARE(b.passed, int(i - back));
                QCOMPARE(f.position, boundaries[size_t(ahead)]);
                QCOMPARE(f.passed, int(ahead - i));
            }
        }
    }
};

TARNWICK_TEST(GraphemesTest)
#include "GraphemesTest.moc"
