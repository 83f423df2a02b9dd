#include "tests/support/TestRunner.h"
#include "text/RtfReader.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace tarnwick;

namespace {

const QList<QByteArray> kSeeds = {
    "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Times;}}\\f0 Hello\\par {\\b World} caf\\'e9}",
    "{\\rtf1\\uc2 \\u26481\\'96\\'8a{\\*\\x hidden}\\tab x\\bin4 {}{}end}",
    "{\\rtf1\\ansicpg932 \\'82\\'a0\\'82{\\pict\\bin2 ab}\\u-10179?\\u-8704?}",
};

const QList<QByteArray> kTokens = {
    "{",     "}",         "\\",        "\\'",    "\\'8",    "\\u",
    "\\u-",  "\\uc",      "\\uc0 ",    "\\bin",  "\\bin1 ", "\\*",
    "\\par", "\\ansicpg", "932",       "65001",  "-",       "99999999999999",
    " ",     "\r\n",      "\\fonttbl", "\\pict", "\xFF",    "\x00",
    "\\'zz", "a",
};

QByteArray mutate(QByteArray input, QRandomGenerator& random) {
    const int edits = 1 + random.bounded(8);
    for (int i = 0; i < edits; ++i) {
        const qsizetype at = input.isEmpty() ? 0 : random.bounded(int(input.size()) + 1);
        switch (random.bounded(4)) {
            case 0:
                input.insert(at, kTokens[random.bounded(int(kTokens.size()))]);
                break;
            case 1:
                if (at < input.size()) input[at] = char(random.bounded(256));
                break;
            case 2:
                input.remove(at, random.bounded(6));
                break;
            default:
                input.truncate(at);
                break;
        }
    }
    return input;
}

struct Outcome {
    QString text;
    ReadStatus status;
};

// Feeds the document in random pieces, as a file read does.
Outcome extractInPieces(const QByteArray& document, QRandomGenerator& random) {
    QString text;
    RtfTextExtractor extractor([&text](QStringView piece) {
        text += piece;
        return true;
    });
    for (qsizetype at = 0; at < document.size();) {
        const qsizetype length = std::min<qsizetype>(1 + random.bounded(16), document.size() - at);
        extractor.feed(QByteArrayView(document).sliced(at, length));
        at += length;
    }
    const ReadStatus status = extractor.finish();
    return {text, status};
}

Outcome extractWhole(const QByteArray& document) {
    QString text;
    const ReadStatus status = extractRtfText(document, [&text](QStringView piece) {
        text += piece;
        return true;
    });
    return {text, status};
}

}  // namespace

// Hostile and broken input: never a crash (CI runs this under AddressSanitizer), output bounded
// by the input, and the same text however the bytes are cut into pieces.
class RtfRobustnessTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mutatedDocuments() {
        QRandomGenerator random(20240611);
        for (int round = 0; round < 20000; ++round) {
            const QByteArray document = mutate(kSeeds[random.bounded(int(kSeeds.size()))], random);
            const Outcome whole = extractWhole(document);
            QVERIFY(whole.text.size() <= 2 * document.size());
            const Outcome pieces = extractInPieces(document, random);
            QCOMPARE(pieces.status, whole.status);
            QVERIFY2(pieces.text == whole.text, document.toHex().constData());
        }
    }

    void randomBytesAfterAHeader() {
        QRandomGenerator random(99);
        for (int round = 0; round < 2000; ++round) {
            QByteArray document = "{\\rtf1 ";
            const int length = random.bounded(200);
            for (int i = 0; i < length; ++i) document.append(char(random.bounded(256)));
            QVERIFY(extractWhole(document).text.size() <= 2 * document.size());
        }
    }

    void deepNestingKeepsItsBalance() {
        const int depth = 1'000'000;
        QByteArray document = "{\\rtf1 a";
        document += QByteArray(depth, '{') + "b" + QByteArray(depth, '}') + "c}";
        document += "after";
        QCOMPARE(extractWhole(document).text, QStringLiteral("abc"));
    }

    void extremeWordsAndNumbers() {
        QByteArray endlessWord = "{\\rtf1 \\" + QByteArray(1'000'000, 'x') + " y}";
        QCOMPARE(extractWhole(endlessWord).text, QStringLiteral("y"));
        QCOMPARE(extractWhole("{\\rtf1 \\u99999999999999999999?z}").text, QStringLiteral("z"));
        QCOMPARE(extractWhole("{\\rtf1 \\bin99999999999999999999 abc}").text, QString());
        QCOMPARE(extractWhole("{\\rtf1\\uc999999 \\u233 abcdefghijklmnopqrstuvwxyz}").text,
                 QStringLiteral("éqrstuvwxyz"));
        QCOMPARE(extractWhole("{\\rtf1 \\bin-5 x}").text, QStringLiteral("x"));
    }
};

TARNWICK_TEST(RtfRobustnessTest)
#include "RtfRobustnessTest.moc"
