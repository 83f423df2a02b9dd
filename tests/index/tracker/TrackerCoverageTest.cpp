#include "index/tracker/TrackerCoverage.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QtTest>

namespace tarnwick::test {

// What the miner's settings leave to the index where the real miner of the tests is not set up
// that way: single (not recursive) roots, roots named through a link or holding .git, documents
// and links.
// The rest is checked against a real miner (TrackerContentTest, TrackerCountTest).
class TrackerCoverageTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        m_tree.write("root/docs/notes.txt", "line one\n");
        m_tree.write("root/docs/letter.docx", "PK");
        m_tree.symlink(m_tree.pathOf("root/docs/notes.txt"), "root/docs/link.txt");
        m_tree.write("single/direct.txt", "direct child\n");
        m_tree.write("single/sub/nested.txt", "not indexed\n");
        m_tree.symlink(m_tree.pathOf("root/docs"), "docs-link");
        m_tree.symlink(m_tree.pathOf("root"), "root-link");
        m_tree.write("repo/.git/HEAD", "ref\n");
        m_tree.write("repo/docs/notes.txt", "line\n");
    }

    // Folders: covered recursively; files: text that may have been read.
    void leftToTheIndex_data() {
        QTest::addColumn<QByteArray>("relative");
        QTest::addColumn<bool>("indexed");
        QTest::newRow("office document") << QByteArray("root/docs/letter.docx") << true;
        QTest::newRow("symbolic link") << QByteArray("root/docs/link.txt") << false;
        QTest::newRow("through a linked folder") << QByteArray("docs-link/notes.txt") << true;
        QTest::newRow("single root") << QByteArray("single") << false;
        QTest::newRow("single root child") << QByteArray("single/direct.txt") << true;
        QTest::newRow("below a single root") << QByteArray("single/sub/nested.txt") << false;
        QTest::newRow("in a root holding .git") << QByteArray("repo/docs") << false;
        QTest::newRow("file in a root holding .git") << QByteArray("repo/docs/notes.txt") << false;
    }
    void leftToTheIndex() {
        QFETCH(QByteArray, relative);
        QFETCH(bool, indexed);
        const TrackerCoverage coverage(settings("root"));
        const QByteArray path = m_tree.pathOf(relative);
        const QFileInfo info(QFile::decodeName(path));
        QCOMPARE(info.isDir() ? coverage.coversRecursively(path)
                              : coverage.mayHaveReadText(path, info.size()),
                 indexed);
    }

    // The miner keeps the spelling its root was configured with.
    void aRootNamedThroughALinkKeepsThatSpelling() {
        const TrackerCoverage linked(settings("root-link"));
        QCOMPARE(linked.indexPathFor(m_tree.pathOf("root/docs")), m_tree.pathOf("root-link/docs"));
        QCOMPARE(linked.indexPathFor(m_tree.pathOf("root")), m_tree.pathOf("root-link"));
        QVERIFY(linked.coversRecursively(m_tree.pathOf("root/docs")));
    }

private:
    TrackerSettings settings(const QByteArray& root) const {
        TrackerSettings s;
        s.recursiveFolders = {m_tree.pathOf(root), m_tree.pathOf("repo")};
        s.singleFolders = {m_tree.pathOf("single")};
        s.contentBlockingNames = {".git"};
        s.textAllowlist = {"*.txt"};
        return s;
    }

    TempTree m_tree;
};

TARNWICK_TEST(TrackerCoverageTest)

}  // namespace tarnwick::test

#include "TrackerCoverageTest.moc"
