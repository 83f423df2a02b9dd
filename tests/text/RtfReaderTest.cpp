#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"
#include "text/RtfReader.h"

#include <QtTest>

using namespace tarnwick;

namespace {

struct Extracted {
    QString text;
    ReadStatus status;
};

Extracted extract(const QByteArray& document) {
    QString text;
    const ReadStatus status = extractRtfText(document, [&text](QStringView piece) {
        text += piece;
        return true;
    });
    return {text, status};
}

QString textOf(const QByteArray& document) {
    return extract(document).text;
}

}  // namespace

class RtfReaderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void plainParagraphsTabsAndLines() {
        QCOMPARE(textOf("{\\rtf1\\ansi Hello\\par World\\tab end\\line next}"),
                 QStringLiteral("Hello\nWorld\tend\nnext"));
    }

    void lineBreaksInTheSourceAreNotText() {
        QCOMPARE(textOf("{\\rtf1 one\r\ntwo\\\ntree}"), QStringLiteral("onetwo\ntree"));
    }

    void escapesDecodeByTheDocumentCodePage_data() {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("text");
        QTest::newRow("default 1252")
            << QByteArray("{\\rtf1 caf\\'e9 \\'80}") << QStringLiteral("café €");
        QTest::newRow("cyrillic 1251")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'e0\\'e1}") << QStringLiteral("аб");
        QTest::newRow("japanese 932, two-byte")
            << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0}") << QStringLiteral("あ");
        QTest::newRow("unknown code page falls back")
            << QByteArray("{\\rtf1\\ansicpg99999 \\'e9}") << QStringLiteral("é");
        QTest::newRow("mac roman") << QByteArray("{\\rtf1\\mac \\'8e}") << QStringLiteral("é");
        QTest::newRow("uppercase hex") << QByteArray("{\\rtf1 \\'C9}") << QStringLiteral("É");
    }
    void escapesDecodeByTheDocumentCodePage() {
        QFETCH(QByteArray, document);
        QFETCH(QString, text);
        QCOMPARE(textOf(document), text);
    }

    void unicodeEscapesSkipTheirFallbacks_data() {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("text");
        QTest::newRow("default skip one")
            << QByteArray("{\\rtf1 \\u8364?x}") << QStringLiteral("€x");
        QTest::newRow("hex fallback")
            << QByteArray("{\\rtf1 \\u233\\'e9 z}") << QStringLiteral("é z");
        QTest::newRow("uc2") << QByteArray("{\\rtf1\\uc2 \\u26481\\'96\\'8ax}")
                             << QStringLiteral("東x");
        QTest::newRow("uc0") << QByteArray("{\\rtf1\\uc0 \\u233 x}") << QStringLiteral("éx");
        QTest::newRow("negative") << QByteArray("{\\rtf1 \\u-3913?}") << QStringLiteral("\uF0B7");
        QTest::newRow("surrogate pair")
            << QByteArray("{\\rtf1 \\u-10179?\\u-8704?}") << QStringLiteral("😀");
        QTest::newRow("uc is per group")
            << QByteArray("{\\rtf1 {\\uc2 \\u233 ab}\\u233 ab}") << QStringLiteral("ééb");
        QTest::newRow("group ends the skip")
            << QByteArray("{\\rtf1 {\\u233}x}") << QStringLiteral("éx");
    }
    void unicodeEscapesSkipTheirFallbacks() {
        QFETCH(QByteArray, document);
        QFETCH(QString, text);
        QCOMPARE(textOf(document), text);
    }

    void destinationsAreLeftOut() {
        const QByteArray document =
            "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Helvetica;}}{\\colortbl;\\red0\\green0\\blue0;}"
            "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Secret}{\\author Someone}}"
            "{\\*\\generator Writer 1.0;}{\\header Page head}{\\footer Page foot}"
            "{\\pict\\pngblip 89504e47}{\\*\\unknowndest hidden}"
            "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt shown}}"
            " Body {\\b bold} text}";
        QCOMPARE(textOf(document), QStringLiteral("shown Body bold text"));
    }

    void symbolsAndLiterals() {
        QCOMPARE(textOf("{\\rtf1 a\\{b\\}c\\\\d\\~e\\-f\\_g\\emdash h\\bullet}"),
                 QStringLiteral("a{b}c\\d\u00A0ef\u2011g\u2014h\u2022"));
    }

    void binaryDataIsSkippedEvenWithBraces() {
        QCOMPARE(textOf("{\\rtf1 a{\\pict\\bin6 }{\\\\x}}b}"), QStringLiteral("ab"));
        QCOMPARE(textOf("{\\rtf1 a\\bin3 {{{b}"), QStringLiteral("ab"));
    }

    void textAfterTheDocumentIsIgnored() {
        QCOMPARE(textOf("{\\rtf1 inside}outside"), QStringLiteral("inside"));
    }

    void truncatedDocumentKeepsItsText() {
        const Extracted e = extract("{\\rtf1\\ansi Hello {\\b wor");
        QCOMPARE(e.status, ReadStatus::complete);
        QCOMPARE(e.text, QStringLiteral("Hello wor"));
    }

    void notRtfFails() {
        QCOMPARE(extract("Hello {\\rtf1 x}").status, ReadStatus::failed);
        QCOMPARE(extract("{\\rt").status, ReadStatus::failed);
        QCOMPARE(extract("").status, ReadStatus::failed);
        QCOMPARE(extract(" \r\n{\\rtf1 ok}").text, QStringLiteral("ok"));
    }

    void readsFilesByNativePath() {
        test::TempTree tree;
        QByteArray body;
        for (int i = 0; i < 20000; ++i) body += "word\\'e9 \\par ";
        tree.write("doc\xFF.rtf", "{\\rtf1\\ansi " + body + "}");
        QString text;
        const ReadStatus status =
            readRtfFile(tree.pathOf("doc\xFF.rtf"), LinkPolicy::refuse, [&text](QStringView piece) {
                text += piece;
                return true;
            });
        QCOMPARE(status, ReadStatus::complete);
        QCOMPARE(text, QStringLiteral("wordé \n").repeated(20000));
        tree.mkdir("bundle.rtfd");
        QCOMPARE(readRtfFile(tree.pathOf("bundle.rtfd"), LinkPolicy::follow,
                             [](QStringView) { return true; }),
                 ReadStatus::failed);
    }
};

TARNWICK_TEST(RtfReaderTest)
#include "RtfReaderTest.moc"
