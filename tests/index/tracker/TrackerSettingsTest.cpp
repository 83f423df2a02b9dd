#include <gio/gio.h>

#include "index/tracker/TrackerSettings.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QtTest>

namespace tarnwick::test {

// The miner's folder names expanded as the miner does, and its settings read from GSettings.
// GLib caches HOME, the config folder and the settings backend on first use, so the environment
// is set up once, before any GLib call, for the whole class.
class TrackerSettingsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_tree.isValid());
        m_home = m_tree.pathOf("home");
        m_tree.mkdir("home/Documents");
        m_tree.write("config/user-dirs.dirs",
                     "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n"
                     "XDG_MUSIC_DIR=\"$HOME/\"\n");
        m_tree.write("config/glib-2.0/settings/keyfile",
                     "[org/freedesktop/tracker/miner/files]\n"
                     "index-recursive-directories=['&DOCUMENTS', '&MUSIC', '/srv/media/', "
                     "'$HOME/projects']\n"
                     "index-single-directories=['$HOME']\n"
                     "ignored-directories-with-content=['.git', '.nomedia']\n"
                     "[org/freedesktop/tracker/extract]\n"
                     "max-bytes=4096\n");
        qputenv("HOME", m_home);
        qputenv("XDG_CONFIG_HOME", m_tree.pathOf("config"));
        qputenv("GSETTINGS_BACKEND", "keyfile");
        g_reload_user_special_dirs_cache();
    }

    void expandsNamesLikeTheMiner_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QByteArray>("expected");
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

    void readsTheMinersSettings() {
        const TrackerSettings settings = TrackerSettings::fromGSettings();
        QCOMPARE(settings.recursiveFolders,
                 (QList<QByteArray>{m_home + "/Documents", "/srv/media", m_home + "/projects"}));
        QCOMPARE(settings.singleFolders, QList<QByteArray>{m_home});
        QCOMPARE(settings.contentBlockingNames, (QList<QByteArray>{".git", ".nomedia"}));
        // Keys left alone keep the schema's defaults.
        QVERIFY(settings.ignoredFiles.contains("*~"));
        QVERIFY(settings.ignoredFolders.contains("lost+found"));
        QCOMPARE(settings.textAllowlist, (QList<QByteArray>{"*.txt", "*.md", "*.mdwn"}));
        QCOMPARE(settings.maxExtractedBytes, qint64(4096));
    }

private:
    TempTree m_tree;
    QByteArray m_home;
};

TARNWICK_TEST(TrackerSettingsTest)

}  // namespace tarnwick::test

#include "TrackerSettingsTest.moc"
