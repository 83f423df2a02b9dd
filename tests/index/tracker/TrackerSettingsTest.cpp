#include <gio/gio.h>

#include "index/tracker/TrackerCoverage.h"
#include "index/tracker/TrackerSettings.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QtTest>

namespace tarnwick::test {

// The miner's folder names expanded as the miner does (GLib caches HOME and the user folders on
// first use, so the environment is set once, before any GLib call); and what its settings leave to
// the index where the real miner of the tests is not set up that way: single roots, roots named
// through a link or holding .git, documents and links.
class TrackerSettingsTest : public QObject {
    Q_OBJECT
    TempTree m_tree;
private Q_SLOTS:
    void expandsNamesLikeTheMiner() {
        m_tree.mkdir("home/Documents");
        m_tree.write("config/user-dirs.dirs",
                     "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\nXDG_MUSIC_DIR=\"$HOME/\"\n");
        qputenv("HOME", m_tree.pathOf("home"));
        qputenv("XDG_CONFIG_HOME", m_tree.pathOf("config"));
        g_reload_user_special_dirs_cache();
        // entry=expansion, H for home and C for the current folder; none: names no folder (a user
        // folder equal to home or not set, a bare name, nothing)
        for (const char* row : {"&DOCUMENTS=H/Documents", "&MUSIC=", "&VIDEOS=",
                                "$HOME/notes/=H/notes", "${HOME}/a=H/a", "~/b=H/b",
                                "/srv/x/../y=/srv/y", "rel/dir=C/rel/dir", "notes=", "="}) {
            const QList<QByteArray> f = QByteArray(row).split('=');
            QByteArray expected = f[1];
            if (expected.startsWith('H')) expected.replace(0, 1, m_tree.pathOf("home"));
            if (expected.startsWith('C'))
                expected.replace(0, 1, QFile::encodeName(QDir::currentPath()));
            QCOMPARE(expandIndexedFolder(f[0]), expected);
        }
    }
    // Folders: covered recursively; files: text that may have been read. '-' marks those left out:
    // a link, a single root and what is below it, a root holding .git.
    void leftToTheIndex() {
        const auto settings = [&](const QByteArray& root) {
            TrackerSettings s;
            s.recursiveFolders = {m_tree.pathOf(root), m_tree.pathOf("repo")};
            s.singleFolders = {m_tree.pathOf("single")};
            s.contentBlockingNames = {".git"};
            s.textAllowlist = {"*.txt"};
            return s;
        };
        for (const char* name : {"root/docs/notes.txt", "single/direct.txt",
                                 "single/sub/nested.txt", "repo/.git/HEAD", "repo/docs/notes.txt"})
            m_tree.write(name, "line\n");
        m_tree.write("root/docs/letter.docx", "PK");
        m_tree.symlink(m_tree.pathOf("root/docs/notes.txt"), "root/docs/link.txt");
        m_tree.symlink(m_tree.pathOf("root/docs"), "docs-link");
        m_tree.symlink(m_tree.pathOf("root"), "root-link");
        const TrackerCoverage coverage(settings("root"));
        for (const char* row : {"root/docs/letter.docx", "-root/docs/link.txt",
                                "docs-link/notes.txt", "-single", "single/direct.txt",
                                "-single/sub/nested.txt", "-repo/docs", "-repo/docs/notes.txt"}) {
            const QByteArray path = m_tree.pathOf(QByteArray(row).remove(0, *row == '-'));
            const QFileInfo info(QFile::decodeName(path));
            QVERIFY2((info.isDir() ? coverage.coversRecursively(path)
                                   : coverage.mayHaveReadText(path, info.size())) == (*row != '-'),
                     row);
        }
        // The miner keeps the spelling its root was configured with.
        const TrackerCoverage linked(settings("root-link"));
        QCOMPARE(linked.indexPathFor(m_tree.pathOf("root/docs")), m_tree.pathOf("root-link/docs"));
        QCOMPARE(linked.indexPathFor(m_tree.pathOf("root")), m_tree.pathOf("root-link"));
        QVERIFY(linked.coversRecursively(m_tree.pathOf("root/docs")));
    }
};

TARNWICK_TEST(TrackerSettingsTest)

}  // namespace tarnwick::test

#include "TrackerSettingsTest.moc"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return tarnwick::test::runRegisteredTests(argc, argv);
}
