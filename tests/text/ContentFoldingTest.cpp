#include "tests/support/TestRunner.h"
#include "text/ContentFolding.h"
#include "text/FoldedTextStream.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace tarnwick;

namespace {

// Pieces that exercise folding: ASCII, precomposed and decomposed accents, expansions,
// compatibility forms, marks the index keeps, surrogate pairs.
const QStringList kPieces = {
    QStringLiteral("a"),
    QStringLiteral("Z"),
    QStringLiteral(" "),
    QStringLiteral("\n"),
    QStringLiteral("é"),
    QStringLiteral("e\u0301"),
    QStringLiteral("\u0301"),
    QStringLiteral("ß"),
    QStringLiteral("ẞ"),
    QStringLiteral("ﬁ"),
    QStringLiteral("İ"),
    QStringLiteral("ǅ"),
    QStringLiteral("Σ"),
    QStringLiteral("ℌ"),
    QStringLiteral("\u05D0\u05B8"),
    QStringLiteral("東京"),
    QStringLiteral("😀"),
    QStringLiteral("\U0001D400"),
    QStringLiteral("\u1E9B\u0323"),
    QStringLiteral("Å"),
    QStringLiteral("\u0F73"),
};

QString randomText(QRandomGenerator& random, int pieces) {
    QString text;
    for (int i = 0; i < pieces; ++i) text += kPieces[random.bounded(int(kPieces.size()))];
    return text;
}

QByteArray foldInPieces(const QByteArray& utf8, QRandomGenerator& random) {
    FoldedTextStream stream;
    QByteArray out;
    qsizetype at = 0;
    while (at < utf8.size()) {
        qsizetype end = std::min(utf8.size(), at + 1 + random.bounded(40));
        // Pieces are cut between whole sequences, as the readers hand them over.
        while (end < utf8.size() && (uchar(utf8[end]) & 0xC0) == 0x80) ++end;
        stream.fold(QByteArrayView(utf8).sliced(at, end - at), out);
        at = end;
    }
    stream.finish(out);
    return out;
}

}  // namespace

class ContentFoldingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Expected values were read from the desktop index itself
    // (SELECT tracker:unaccent(tracker:case-fold(~x))).
    void agreesWithTheIndex_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("folded");
        QTest::newRow("sharp s expands") << QStringLiteral("Ḱß") << QStringLiteral("kss");
        QTest::newRow("capital sharp s") << QStringLiteral("ẞ") << QStringLiteral("ss");
        QTest::newRow("titlecase digraph") << QStringLiteral("ǅ") << QStringLiteral("dz");
        QTest::newRow("ligature") << QStringLiteral("ﬁ") << QStringLiteral("fi");
        QTest::newRow("fold before decomposition") << QStringLiteral("ℌ") << QStringLiteral("H");
        QTest::newRow("dotted capital I") << QStringLiteral("İ") << QStringLiteral("i");
        QTest::newRow("decomposed accent") << QStringLiteral("e\u0301") << QStringLiteral("e");
        QTest::newRow("precomposed accent")
            << QStringLiteral("Ínvoice") << QStringLiteral("invoice");
        QTest::newRow("hebrew point stays")
            << QStringLiteral("\u05D0\u05B8") << QStringLiteral("\u05D0\u05B8");
        QTest::newRow("cyrillic titlo stays")
            << QStringLiteral("\u0483x") << QStringLiteral("\u0483x");
        QTest::newRow("no final sigma") << QStringLiteral("ΣΑΣ") << QStringLiteral("σασ");
    }
    void agreesWithTheIndex() {
        QFETCH(QString, text);
        QFETCH(QString, folded);
        QCOMPARE(foldForContentMatch(text), folded);
        QCOMPARE(foldUtf8ForContentMatch(text.toUtf8()), folded.toUtf8());
    }

    void utf8FoldingEqualsTextFolding() {
        QRandomGenerator random(7);
        for (int round = 0; round < 500; ++round) {
            const QString text = randomText(random, 1 + random.bounded(30));
            QCOMPARE(foldUtf8ForContentMatch(text.toUtf8()), foldForContentMatch(text).toUtf8());
        }
    }

    void foldingInPiecesEqualsFoldingWhole() {
        QRandomGenerator random(11);
        for (int round = 0; round < 500; ++round) {
            const QByteArray utf8 = randomText(random, 1 + random.bounded(60)).toUtf8();
            QCOMPARE(foldInPieces(utf8, random), foldUtf8ForContentMatch(utf8));
        }
    }

    // Text without any ASCII is still cut and folded as it streams (no unbounded holding).
    void longTextWithoutAsciiStreams() {
        QString text;
        for (int i = 0; i < 20000; ++i)
            text += i % 7 == 0 ? QStringLiteral("Ḁ") : QStringLiteral("東");
        const QByteArray utf8 = text.toUtf8();
        FoldedTextStream stream;
        QByteArray out;
        for (qsizetype at = 0; at < utf8.size(); at += 3 * 1000)
            stream.fold(
                QByteArrayView(utf8).sliced(at, std::min<qsizetype>(3000, utf8.size() - at)), out);
        QVERIFY(!out.isEmpty());  // settled before the end
        stream.finish(out);
        QCOMPARE(out, foldUtf8ForContentMatch(utf8));
    }
};

TARNWICK_TEST(ContentFoldingTest)
#include "ContentFoldingTest.moc"
