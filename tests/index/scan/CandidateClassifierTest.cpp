#include "index/scan/CandidateClassifier.h"
#include "tests/support/TestRunner.h"

#include <QtTest>

using namespace tarnwick;

Q_DECLARE_METATYPE(std::optional<CandidateFormat>)

class CandidateClassifierTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void classifiesByName_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<std::optional<CandidateFormat>>("format");
        const std::optional<CandidateFormat> none;
        QTest::newRow("txt") << QByteArray("a.txt") << std::optional(CandidateFormat::plainText);
        QTest::newRow("upper MD") << QByteArray("B.MD")
                                  << std::optional(CandidateFormat::plainText);
        QTest::newRow("json") << QByteArray("c.json") << std::optional(CandidateFormat::plainText);
        QTest::newRow("python") << QByteArray("d.py") << std::optional(CandidateFormat::plainText);
        QTest::newRow("c source") << QByteArray("e.c") << std::optional(CandidateFormat::plainText);
        QTest::newRow("shell") << QByteArray("f.sh") << std::optional(CandidateFormat::plainText);
        QTest::newRow("makefile") << QByteArray("Makefile")
                                  << std::optional(CandidateFormat::plainText);
        QTest::newRow("pdf") << QByteArray("g.pdf") << std::optional(CandidateFormat::pdf);
        QTest::newRow("rtf") << QByteArray("h.RTF") << std::optional(CandidateFormat::rtf);
        QTest::newRow("png") << QByteArray("i.png") << none;
        QTest::newRow("docx") << QByteArray("j.docx") << none;
        QTest::newRow("unknown extension")
            << QByteArray("k.zzqx") << std::optional(CandidateFormat::sniffed);
        QTest::newRow("not utf-8")
            << QByteArray("caf\xE9.txt") << std::optional(CandidateFormat::plainText);
    }
    void classifiesByName() {
        QFETCH(QByteArray, name);
        QFETCH(std::optional<CandidateFormat>, format);
        CandidateClassifier classifier;
        QCOMPARE(classifier.classify(name), format);
        QCOMPARE(classifier.classify(name), format);  // remembered the same
    }

    void sniffsContent() {
        QVERIFY(looksLikeText("plain words\nmore words\n"));
        QVERIFY(!looksLikeText(QByteArray("text\0with nul", 13)));
        QVERIFY(!looksLikeText("\x89PNG\r\n\x1a\n\0\0\0\rIHDR"));
        QVERIFY(!looksLikeText(""));
    }
};

TARNWICK_TEST(CandidateClassifierTest)
#include "CandidateClassifierTest.moc"
