#include "tests/support/TestRunner.h"
#include "text/Utf8Validation.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace tarnwick;

class Utf8ValidationTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void classifiesSequences_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qsizetype>("validLength");
        QTest::addColumn<bool>("illFormed");
        QTest::newRow("ascii") << QByteArray("plain text") << qsizetype(10) << false;
        QTest::newRow("all lengths")
            << QByteArray("\xC3\xA9\xE6\x9D\xB1\xF0\x9F\x98\x80") << qsizetype(9) << false;
        QTest::newRow("overlong slash") << QByteArray("ab\xC0\xAF") << qsizetype(2) << true;
        QTest::newRow("overlong three") << QByteArray("\xE0\x80\xAF") << qsizetype(0) << true;
        QTest::newRow("surrogate") << QByteArray("x\xED\xA0\x80") << qsizetype(1) << true;
        QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << qsizetype(0) << true;
        QTest::newRow("lone continuation") << QByteArray("a\x80") << qsizetype(1) << true;
        QTest::newRow("FF byte") << QByteArray("\xFF\xFE") << qsizetype(0) << true;
        QTest::newRow("cut at end") << QByteArray("ok\xE6\x9D") << qsizetype(2) << false;
        QTest::newRow("cut four") << QByteArray("ok\xF0\x9F\x98") << qsizetype(2) << false;
        QTest::newRow("interrupted") << QByteArray(
                                            "\xE6\x9D"
                                            "a")
                                     << qsizetype(0) << true;
        QTest::newRow("bad after eight ascii")
            << QByteArray("12345678\xFF") << qsizetype(8) << true;
        QTest::newRow("bad at seventh") << QByteArray(
                                               "123456\xFF"
                                               "89abcdef")
                                        << qsizetype(6) << true;
    }
    void classifiesSequences() {
        QFETCH(QByteArray, bytes);
        QFETCH(qsizetype, validLength);
        QFETCH(bool, illFormed);
        const Utf8Prefix prefix = validUtf8Prefix(bytes);
        QCOMPARE(prefix.validLength, validLength);
        QCOMPARE(prefix.illFormed, illFormed);
    }

    // Well-formed UTF-8 is exactly what survives decoding and encoding unchanged.
    void agreesWithRoundTrip() {
        const uchar interesting[] = {'a',  ' ',  0x7F, 0x80, 0xBF, 0xC2, 0xC3, 0xDF, 0xE0, 0xED,
                                     0xEF, 0xF0, 0xF4, 0xF5, 0xFF, 0xA0, 0x9F, 0x90, 0x8F};
        QRandomGenerator random(3);
        for (int round = 0; round < 20000; ++round) {
            QByteArray bytes;
            const int length = 1 + random.bounded(12);
            for (int i = 0; i < length; ++i)
                bytes.append(char(interesting[random.bounded(int(sizeof interesting))]));
            const bool roundTrips = QString::fromUtf8(bytes).toUtf8() == bytes;
            QVERIFY2(isWellFormedUtf8(bytes) == roundTrips, bytes.toHex().constData());
        }
    }
};

TARNWICK_TEST(Utf8ValidationTest)
#include "Utf8ValidationTest.moc"
