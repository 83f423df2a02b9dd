#include "SharedMiner.h"

#include <QtTest>

namespace tarnwick::test {

namespace {

// What the miner names below `folder`, counted on disk: every entry except hidden ones and the
// content of folders that hold a .git.
qsizetype countIndexable(const QByteArray& folder) {
    QDir dir(QFile::decodeName(folder));
    if (dir.exists(QStringLiteral(".git"))) return 0;
    qsizetype count = 0;
    for (const QFileInfo& entry : dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        ++count;
        if (entry.isDir() && !entry.isSymLink())
            count += countIndexable(QFile::encodeName(entry.filePath()));
    }
    return count;
}

}  // namespace

// The count that decides whether a folder is listed on disk or searched in the index alone: what
// the index names where it covers the whole folder, 0 where it cannot.
class TrackerCountTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void countsWhereTheIndexCoversTheFolder_data() {
        QTest::addColumn<QByteArray>("scope");
        QTest::addColumn<QByteArray>("counted");  // the folder on disk; empty: not covered
        const QByteArray outside = miner().sandbox.outside();
        QTest::newRow("folder") << miner().path("tree") << miner().path("tree");
        QTest::newRow("subfolder") << miner().path("tree/a") << miner().path("tree/a");
        QTest::newRow("through a link") << outside + "/linked-a" << miner().path("tree/a");
        QTest::newRow("outside the roots") << outside << QByteArray();
        QTest::newRow("holding .git") << miner().path("tree/project") << QByteArray();
        QTest::newRow("below one holding .git") << miner().path("tree/project/src") << QByteArray();
        QTest::newRow("ignored name") << miner().path("kinds/po") << QByteArray();
        QTest::newRow("hidden") << miner().path("tree/.hidden") << QByteArray();
        QTest::newRow("missing") << miner().path("tree/missing") << QByteArray();
    }
    void countsWhereTheIndexCoversTheFolder() {
        QFETCH(QByteArray, scope);
        QFETCH(QByteArray, counted);
        QCOMPARE(miner().index->coversRecursively(scope), !counted.isEmpty());
        const Gathered gathered = gather(scope, MetadataPredicate::everything);
        QVERIFY(gathered.finished);
        QCOMPARE(gathered.progressSignals, 1);
        QCOMPARE(gathered.finishedSignals, 1);
        QVERIFY(gathered.items.isEmpty());
        QCOMPARE(gathered.count, counted.isEmpty() ? 0 : countIndexable(counted));
        QVERIFY(counted.isEmpty() || gathered.count > 40);
    }
};

std::unique_ptr<QObject> newTrackerCountTest() {
    return std::make_unique<TrackerCountTest>();
}

}  // namespace tarnwick::test

#include "TrackerCountTest.moc"
