#include "QueryProbe.h"
#include "TestCorpus.h"
#include "index/tracker/TrackerIndex.h"
#include "tests/support/TestRunner.h"
#include "tests/support/tracker/TrackerSandbox.h"

#include <QDirIterator>
#include <QtTest>

#include <unistd.h>

namespace tarnwick::test {

namespace {

// What the miner is expected to name below `folder`, counted on disk: every entry except hidden
// ones and the content of folders that hold a .git.
qsizetype countIndexable(const QByteArray& folder) {
    QDir dir(QFile::decodeName(folder));
    if (dir.exists(QStringLiteral(".git"))) return 0;
    qsizetype count = 0;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    for (const QFileInfo& entry : entries) {
        ++count;
        if (entry.isDir() && !entry.isSymLink())
            count += countIndexable(QFile::encodeName(entry.filePath()));
    }
    return count;
}

}  // namespace

// The count that decides whether a folder is listed on disk or searched in the index alone.
class TrackerCountTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        for (int i = 0; i < 40; ++i)
            m_corpus.write("tree/a/file" + QByteArray::number(i) + ".bin", "x");
        m_corpus.write("tree/a/b/c/deep.txt", "deep\n");
        m_corpus.write("tree/.hidden/secret.txt", "s\n");
        m_corpus.write("tree/.dotfile", "d\n");
        m_corpus.write("tree/project/.git/HEAD", "ref\n");
        m_corpus.write("tree/project/src/main.c", "int main;\n");
        m_corpus.mkdir("tree/empty");
        QVERIFY(::symlink(m_corpus.path("tree/a").constData(), m_linked.constData()) == 0);
        QVERIFY2(m_sandbox.start(), qPrintable(m_sandbox.failure()));
        m_index = TrackerIndex::connectNow(5000);
        QVERIFY(m_index);
    }

    void cleanupTestCase() {
        m_index.reset();
        m_sandbox.stop();
    }

    void countsWhatTheMinerIndexes() {
        const QByteArray tree = m_corpus.path("tree");
        const Gathered counted = gather(*m_index, tree, MetadataPredicate::everything);
        QVERIFY(counted.finished);
        QVERIFY(counted.items.isEmpty());
        // The folder holding .git is an entry; nothing inside it is.
        QCOMPARE(counted.count, countIndexable(tree));
        QVERIFY(counted.count > 40);
    }

    void reportsProgressThenTheEndOnce() {
        const Gathered counted =
            gather(*m_index, m_corpus.path("tree/a"), MetadataPredicate::everything);
        QCOMPARE(counted.progressSignals, 1);
        QCOMPARE(counted.finishedSignals, 1);
        QCOMPARE(counted.count, countIndexable(m_corpus.path("tree/a")));
    }

    void linkedScopeCountsTheRealFolder() {
        const Gathered linked = gather(*m_index, m_linked, MetadataPredicate::everything);
        QVERIFY(linked.finished);
        QCOMPARE(linked.count, countIndexable(m_corpus.path("tree/a")));
    }

    // Where the index cannot name every entry, the count is 0 so that the folder is listed.
    void uncoveredScopesCountZero_data() {
        QTest::addColumn<QByteArray>("scope");
        QTest::newRow("outside the roots") << m_sandbox.outside();
        QTest::newRow("folder holding .git") << m_corpus.path("tree/project");
        QTest::newRow("inside a .git folder's project") << m_corpus.path("tree/project/src");
        QTest::newRow("hidden folder") << m_corpus.path("tree/.hidden");
        QTest::newRow("missing folder") << m_corpus.path("tree/missing");
    }
    void uncoveredScopesCountZero() {
        QFETCH(QByteArray, scope);
        QVERIFY(!m_index->coversRecursively(scope));
        const Gathered counted = gather(*m_index, scope, MetadataPredicate::everything);
        QVERIFY(counted.finished);
        QCOMPARE(counted.count, qsizetype(0));
    }

    void coverageComesFromTheMinersSettings() {
        QVERIFY(m_index->coversRecursively(m_sandbox.corpus()));
        QVERIFY(m_index->coversRecursively(m_corpus.path("tree/a/b/c")));
        QVERIFY(m_index->coversRecursively(m_corpus.path("tree/empty")));
        QVERIFY(!m_index->coversRecursively(m_sandbox.root()));
    }

private:
    TrackerSandbox m_sandbox;
    TestCorpus m_corpus{m_sandbox.corpus()};
    QByteArray m_linked = m_sandbox.outside() + "/linked-a";
    std::unique_ptr<TrackerIndex> m_index;
};

TARNWICK_TEST(TrackerCountTest)

}  // namespace tarnwick::test

#include "TrackerCountTest.moc"
