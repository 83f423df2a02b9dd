#include "index/tracker/SparqlQueries.h"
#include "tests/support/TestRunner.h"

#include <QtTest>

namespace tarnwick::test {

// What goes into the bound parameters: GLOB wildcards neutralised, scopes as the miner's URIs.
class SparqlTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void escapesEveryGlobWildcard_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("escaped");
        QTest::newRow("plain") << QByteArray("invoice") << QByteArray("invoice");
        QTest::newRow("star") << QByteArray("a*b") << QByteArray("a[*]b");
        QTest::newRow("question mark") << QByteArray("?") << QByteArray("[?]");
        QTest::newRow("open bracket") << QByteArray("brack[1]") << QByteArray("brack[[]1]");
        QTest::newRow("all three") << QByteArray("*?[") << QByteArray("[*][?][[]");
        QTest::newRow("quotes stay") << QByteArray("\"'\\%_") << QByteArray("\"'\\%_");
        QTest::newRow("UTF-8 stays") << QByteArray(
                                            "fa\xc3\xa7"
                                            "ade*")
                                     << QByteArray(
                                            "fa\xc3\xa7"
                                            "ade[*]");
    }
    void escapesEveryGlobWildcard() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, escaped);
        QCOMPARE(sparql::escapeGlob(text), escaped);
    }

    void scopesBecomePercentEncodedUris() {
        const sparql::ScopeUris uris = sparql::scopeUris("/home/a b/pr\xc3\xb3j/x\xff");
        QCOMPARE(uris.folder, QByteArray("file:///home/a%20b/pr%C3%B3j/x%FF"));
        QCOMPARE(uris.prefix, uris.folder + '/');
        const sparql::ScopeUris root = sparql::scopeUris("/");
        QCOMPARE(root.folder, QByteArray("file:///"));
        QCOMPARE(root.prefix, QByteArray("file:///"));
    }

    void statementsTakeEveryValueAsAParameter() {
        const sparql::Share share{3, 2};
        for (const QByteArray& text :
             {QByteArray(sparql::kCountBelow), sparql::contentContains(share),
              sparql::nameOrContentContains(share)}) {
            QVERIFY(text.contains("~folder") && text.contains("~prefix"));
            QVERIFY(!text.contains('\'') && !text.contains('%'));
        }
        QVERIFY(sparql::contentContains(share).contains("~q"));
        QVERIFY(sparql::nameOrContentContains(share).contains("~q"));
    }
};

TARNWICK_TEST(SparqlTextTest)

}  // namespace tarnwick::test

#include "SparqlTextTest.moc"
