#include "index/tracker/ResultRows.h"
#include "tests/support/TestRunner.h"

#include <QtTest>

namespace tarnwick::test {

// Rows of the index turned into items in the caller's spelling of the scope.
class ResultRowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void mapsIndexPathsBackToTheCallersScope_data() {
        QTest::addColumn<QByteArray>("uri");
        QTest::addColumn<QByteArray>("path");  // empty: no item
        QTest::newRow("entry") << QByteArray("file:///real/docs/a%20b.txt")
                               << QByteArray("/link/docs/a b.txt");
        QTest::newRow("deeper, not UTF-8")
            << QByteArray("file:///real/docs/x/y%FF") << QByteArray("/link/docs/x/y\xff");
        QTest::newRow("the scope itself") << QByteArray("file:///real/docs") << QByteArray();
        QTest::newRow("a sibling with the same start")
            << QByteArray("file:///real/docs2/a") << QByteArray();
        QTest::newRow("another scheme") << QByteArray("http://real/docs/a") << QByteArray();
    }
    void mapsIndexPathsBackToTheCallersScope() {
        QFETCH(QByteArray, uri);
        QFETCH(QByteArray, path);
        const ScopeSpelling spelling("/real/docs", "/link/docs/");
        IndexRow row;
        row.uri = uri;
        const std::optional<MetadataItem> item = itemFromRow(row, spelling);
        QCOMPARE(item.has_value(), !path.isEmpty());
        if (item) QCOMPARE(item->path, path);
    }

    void fileTimeComesFirstAndTheDocumentsOwnStandsIn() {
        const ScopeSpelling spelling("/d", "/d");
        IndexRow row;
        row.uri = "file:///d/a.pdf";
        row.size = 12;
        row.modifiedMsecs = 1000;
        row.documentModifiedMsecs = 2000;
        row.isFolder = false;
        MetadataItem both = *itemFromRow(row, spelling);
        QCOMPARE(both.fileSize, std::optional<qint64>(12));
        QCOMPARE(both.contentModifiedMsecs, std::optional<qint64>(1000));
        QVERIFY(!both.changedMsecs);

        row.modifiedMsecs.reset();
        MetadataItem documentOnly = *itemFromRow(row, spelling);
        QVERIFY(!documentOnly.contentModifiedMsecs);
        QCOMPARE(documentOnly.changedMsecs, std::optional<qint64>(2000));

        row.documentModifiedMsecs.reset();
        row.isFolder = true;
        MetadataItem neither = *itemFromRow(row, spelling);
        QVERIFY(!neither.contentModifiedMsecs && !neither.changedMsecs);
        QVERIFY(neither.isFolder);
    }

    void rootScopeKeepsSingleSlashes() {
        const ScopeSpelling spelling("/", "/");
        IndexRow row;
        row.uri = "file:///etc/hosts";
        QCOMPARE(itemFromRow(row, spelling)->path, QByteArray("/etc/hosts"));
    }
};

TARNWICK_TEST(ResultRowsTest)

}  // namespace tarnwick::test

#include "ResultRowsTest.moc"
