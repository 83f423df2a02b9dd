#include <gio/gio.h>

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

}  // namespace tarnwick::test

#include "TrackerSettingsTest.moc"
