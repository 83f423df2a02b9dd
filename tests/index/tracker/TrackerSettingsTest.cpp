#include <gio/gio.h>

#include "index/tracker/TrackerCoverage.h"
#include "index/tracker/TrackerSettings.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QtTest>

namespace tarnwick::test {

// The miner's folder names expanded as the miner does. GLib caches HOME and the user folders on
// first use, so the environment is set up once, before any GLib call, for the whole class.
class TrackerSettingsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        m_tree.mkdir("home/Documents");
        m_tree.write("config/user-dirs.dirs",
                     "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\nXDG_MUSIC_DIR=\"$HOME/\"\n");
        qputenv("HOME", m_tree.pathOf("home"));
        qputenv("XDG_CONFIG_HOME", m_tree.pathOf("config"));
        g_reload_user_special_dirs_cache();
    }

    void expandsNamesLikeTheMiner_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QByteArray>("expected");  // empty: names no folder
        const QByteArray home = m_tree.pathOf("home");
        QTest::newRow("user folder") << QByteArray("&DOCUMENTS") << home + "/Documents";
        QTest::newRow("user folder equal to home") << QByteArray("&MUSIC") << QByteArray();
        QTest::newRow("user folder not set") << QByteArray("&VIDEOS") << QByteArray();
        QTest::newRow("variable") << QByteArray("$HOME/notes/") << home + "/notes";
        QTest::newRow("braced variable") << QByteArray("${HOME}/a") << home + "/a";
        QTest::newRow("tilde") << QByteArray("~/b") << home + "/b";
        QTest::newRow("dot segments") << QByteArray("/srv/x/../y") << QByteArray("/srv/y");
        QTest::newRow("relative") << QByteArray("rel/dir")
                                  << QFile::encodeName(QDir::currentPath()) + "/rel/dir";
        QTest::newRow("bare name") << QByteArray("notes") << QByteArray();
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }
    void expandsNamesLikeTheMiner() {
        QFETCH(QByteArray, entry);
        QFETCH(QByteArray, expected);
        QCOMPARE(expandIndexedFolder(entry), expected);
    }

private:
    TempTree m_tree;
};

TARNWICK_TEST(TrackerSettingsTest)

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

#include "TrackerSettingsTest.moc"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return tarnwick::test::runRegisteredTests(argc, argv);
}
