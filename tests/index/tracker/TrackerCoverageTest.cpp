#include "index/tracker/TrackerCoverage.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QtTest>

#include <memory>

namespace tarnwick::test {

// Which folders and files the miner's settings and the disk leave to the index, on a tree made
// for each case: the defaults of the miner's schema, a recursive root and a single root.
class TrackerCoverageTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_tree = std::make_unique<TempTree>();
        QVERIFY(m_tree->isValid());
        TempTree& t = *m_tree;
        t.write("root/docs/notes.txt", "line one\nline two\n");
        t.write("root/docs/NOTES.TXT", "upper\n");
        t.write("root/docs/readme.md", "# readme\n");
        t.write("root/docs/page.markdown", "# page\n");
        t.write("root/docs/paper.pdf", "%PDF-1.4\n");
        t.write("root/docs/letter.docx", "PK");
        t.write("root/docs/site.html", "<p>x</p>");
        t.write("root/docs/main.c", "int x;\n");
        t.write("root/docs/data.json", "{}\n");
        t.write("root/docs/.secret.txt", "hidden\n");
        t.write("root/docs/backup.txt~", "old\n");
        t.write("root/docs/nul.txt", QByteArray("a\0b\n", 4));
        t.write("root/docs/one-line.txt", QByteArray(70000, 'x'));
        t.write("root/docs/late-newline.txt", QByteArray(100, 'x') + '\n' + QByteArray(70000, 'y'));
        t.write("root/.config/settings.txt", "hidden folder\n");
        t.write("root/po/messages.txt", "ignored folder\n");
        t.write("root/project/.git/HEAD", "ref\n");
        t.write("root/project/src/todo.txt", "inside a repository\n");
        t.write("single/direct.txt", "direct child\n");
        t.write("single/sub/nested.txt", "not indexed\n");
        t.write("elsewhere/away.txt", "outside\n");
        t.symlink(t.pathOf("root/docs"), "docs-link");
        t.symlink(t.pathOf("root/docs/notes.txt"), "root/docs/link.txt");
        t.symlink(t.pathOf("root"), "root-link");
        m_coverage = std::make_unique<TrackerCoverage>(settings({t.pathOf("root")}));
    }

    void recursiveRootsCoverTheirVisibleFolders_data() {
        QTest::addColumn<QByteArray>("relative");
        QTest::addColumn<bool>("covered");
        QTest::newRow("root") << QByteArray("root") << true;
        QTest::newRow("subfolder") << QByteArray("root/docs") << true;
        QTest::newRow("through a link") << QByteArray("docs-link") << true;
        QTest::newRow("hidden folder") << QByteArray("root/.config") << false;
        QTest::newRow("ignored folder name") << QByteArray("root/po") << false;
        QTest::newRow("folder holding .git") << QByteArray("root/project") << false;
        QTest::newRow("below a folder holding .git") << QByteArray("root/project/src") << false;
        QTest::newRow("single root") << QByteArray("single") << false;
        QTest::newRow("outside") << QByteArray("elsewhere") << false;
        QTest::newRow("missing") << QByteArray("root/missing") << false;
    }
    void recursiveRootsCoverTheirVisibleFolders() {
        QFETCH(QByteArray, relative);
        QFETCH(bool, covered);
        QCOMPARE(m_coverage->coversRecursively(m_tree->pathOf(relative)), covered);
    }

    void aRootHoldingGitCoversNothing() {
        m_tree->write("root/.git/HEAD", "ref\n");
        const TrackerCoverage coverage(settings({m_tree->pathOf("root")}));
        QVERIFY(!coverage.coversRecursively(m_tree->pathOf("root/docs")));
        QVERIFY(!coverage.mayHaveReadText(m_tree->pathOf("root/docs/notes.txt"), 18));
    }

    void textTheExtractorReads_data() {
        QTest::addColumn<QByteArray>("relative");
        QTest::addColumn<bool>("read");
        QTest::newRow("txt") << QByteArray("root/docs/notes.txt") << true;
        QTest::newRow("md") << QByteArray("root/docs/readme.md") << true;
        QTest::newRow("pdf") << QByteArray("root/docs/paper.pdf") << true;
        QTest::newRow("docx") << QByteArray("root/docs/letter.docx") << true;
        QTest::newRow("html") << QByteArray("root/docs/site.html") << true;
        QTest::newRow("upper-case extension") << QByteArray("root/docs/NOTES.TXT") << false;
        QTest::newRow("markdown not allowlisted") << QByteArray("root/docs/page.markdown") << false;
        QTest::newRow("source code") << QByteArray("root/docs/main.c") << false;
        QTest::newRow("json") << QByteArray("root/docs/data.json") << false;
        QTest::newRow("hidden file") << QByteArray("root/docs/.secret.txt") << false;
        QTest::newRow("ignored file name") << QByteArray("root/docs/backup.txt~") << false;
        QTest::newRow("NUL byte") << QByteArray("root/docs/nul.txt") << false;
        QTest::newRow("no line break in the first chunk")
            << QByteArray("root/docs/one-line.txt") << false;
        QTest::newRow("line break early") << QByteArray("root/docs/late-newline.txt") << true;
        QTest::newRow("symbolic link") << QByteArray("root/docs/link.txt") << false;
        QTest::newRow("through a linked folder") << QByteArray("docs-link/notes.txt") << true;
        QTest::newRow("hidden folder") << QByteArray("root/.config/settings.txt") << false;
        QTest::newRow("ignored folder") << QByteArray("root/po/messages.txt") << false;
        QTest::newRow("inside a repository") << QByteArray("root/project/src/todo.txt") << false;
        QTest::newRow("single root child") << QByteArray("single/direct.txt") << true;
        QTest::newRow("below a single root") << QByteArray("single/sub/nested.txt") << false;
        QTest::newRow("outside") << QByteArray("elsewhere/away.txt") << false;
    }
    void textTheExtractorReads() {
        QFETCH(QByteArray, relative);
        QFETCH(bool, read);
        const QByteArray path = m_tree->pathOf(relative);
        QCOMPARE(m_coverage->mayHaveReadText(path, QFileInfo(QFile::decodeName(path)).size()),
                 read);
    }

    void largerThanTheExtractorKeepsIsNotRead() {
        const QByteArray notes = m_tree->pathOf("root/docs/notes.txt");
        QVERIFY(m_coverage->mayHaveReadText(notes, 1048576));
        QVERIFY(!m_coverage->mayHaveReadText(notes, 1048577));
    }

    void indexSpellsPathsAsTheRootIsConfigured() {
        const TempTree& t = *m_tree;
        QCOMPARE(m_coverage->indexPathFor(t.pathOf("docs-link")), t.pathOf("root/docs"));
        QCOMPARE(m_coverage->indexPathFor(t.pathOf("root/docs/")), t.pathOf("root/docs"));
        // A root configured through a link keeps that spelling in the index.
        const TrackerCoverage linked(settings({t.pathOf("root-link")}));
        QCOMPARE(linked.indexPathFor(t.pathOf("root/docs")), t.pathOf("root-link/docs"));
        QCOMPARE(linked.indexPathFor(t.pathOf("root")), t.pathOf("root-link"));
        QVERIFY(linked.coversRecursively(t.pathOf("root/docs")));
        // Outside every root: symbolic links resolved all the same.
        QCOMPARE(m_coverage->indexPathFor(t.pathOf("elsewhere")), t.pathOf("elsewhere"));
    }

private:
    // The schema's defaults (tracker-miner-fs 3.4), with our folders.
    TrackerSettings settings(const QList<QByteArray>& recursive) const {
        TrackerSettings s;
        s.recursiveFolders = recursive;
        s.singleFolders = {m_tree->pathOf("single")};
        s.ignoredFiles = {"*~", "*.o", "*.tmp", "*.part"};
        s.ignoredFolders = {"po", "CVS", "core-dumps", "lost+found"};
        s.contentBlockingNames = {".trackerignore", ".git", ".hg", ".nomedia"};
        s.textAllowlist = {"*.txt", "*.md", "*.mdwn"};
        s.maxExtractedBytes = 1048576;
        return s;
    }

    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<TrackerCoverage> m_coverage;
};

TARNWICK_TEST(TrackerCoverageTest)

}  // namespace tarnwick::test

#include "TrackerCoverageTest.moc"
