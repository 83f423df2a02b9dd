#include <gio/gio.h>

#include "PlatformTest.h"
#include "StubDefaultApp.h"
#include "platform/portal/GnomeCustomKeybinding.h"
#include "platform/xdg/GioFileOpener.h"
#include "platform/xdg/GioTrash.h"
#include "platform/xdg/TrashFolders.h"
#include "tests/support/TempTree.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarnwick;
using namespace tarnwick::test;
using namespace Qt::Literals::StringLiterals;

namespace {

bool exists(const QByteArray& path) {
    struct stat st;
    return lstat(path.constData(), &st) == 0;
}

QByteArray readFile(const QByteArray& path) {
    QFile file;  // opened by its bytes: the name need not be UTF-8
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    return file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) ? file.readAll() : "";
}

// Home, data folder and files on one volume, set before GLib reads (and caches) them.
struct PrivateHome : TempTree {
    PrivateHome() {
        mkdir("home");
        mkdir("files");
        qputenv("HOME", pathOf("home"));
        qputenv("XDG_DATA_HOME", pathOf("data"));
    }
    QByteArray trashed(const QByteArray& name) const { return pathOf("data/Trash/files/" + name); }
};

enum class Mover { gio, claimsOnly, misplaces, refuses };
using Outcome = std::tuple<Mover, bool, QString>;

// GNOME's two keybinding schemas, as far as ours touches them.
const char* const kSchemas =
    R"(<schemalist><schema id="org.gnome.settings-daemon.plugins.media-keys" path="/org/gnome/)"
    R"(settings-daemon/plugins/media-keys/"><key name="custom-keybindings" type="as"><default>)"
    R"([]</default></key></schema><schema id="org.gnome.settings-daemon.plugins.media-keys.)"
    R"(custom-keybinding"><key name="name" type="s"><default>''</default></key><key name=)"
    R"("command" type="s"><default>''</default></key><key name="binding" type="s"><default>)"
    R"(''</default></key></schema></schemalist>)";
const QByteArray kUsersOwn =
    "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0/";

// GSettings reads its schemas and backend once per process: set everything before first use.
void isolateSettings(const QTemporaryDir& root, bool withSchemas) {
    const QString schemas = root.filePath(u"schemas"_s);
    QDir().mkpath(schemas);
    QFile file(schemas + u"/gnome-keys.gschema.xml"_s);
    if (withSchemas && file.open(QIODevice::WriteOnly) && file.write(kSchemas) > 0) {
        file.close();
        QProcess::execute(u"glib-compile-schemas"_s, {schemas});
    }
    qputenv("GSETTINGS_SCHEMA_DIR", schemas.toUtf8());
    qputenv("XDG_DATA_DIRS", root.filePath(u"no-system-schemas"_s).toUtf8());
    qputenv("GSETTINGS_BACKEND", "keyfile");
    qputenv("XDG_CONFIG_HOME", root.filePath(u"config"_s).toUtf8());
}

}  // namespace

// Moving to the trash through GIO into a private XDG data home, checked on disk.
class TrashTest : public QObject {
    Q_OBJECT
    PrivateHome m_home;
private Q_SLOTS:
    void itemArrivesWithItsContent_data() {  // name, file inside the item (or the item itself)
        table<std::tuple<QByteArray, QByteArray>>({
            {"file, no data folder yet", {"first.txt", ""}},
            {"name that is not UTF-8", {"caf\xe9-\xff.txt", ""}},
            {"folder", {"album", "/inner/photo.jpg"}},
            {"same name again: found each time", {"first.txt", ""}},
        });
    }
    void itemArrivesWithItsContent() {
        const auto& [name, file] = row<std::tuple<QByteArray, QByteArray>>();
        m_home.write("files/" + name + file, "content of " + name);
        const TrashOutcome outcome = GioTrash().moveToTrash(m_home.pathOf("files/" + name));
        QVERIFY2(outcome.trashed, qPrintable(outcome.message));
        QVERIFY(!exists(m_home.pathOf("files/" + name)));
        QCOMPARE(readFile(m_home.trashed(name + file)), "content of " + name);
        QVERIFY(
            readFile(m_home.pathOf("data/Trash/info/" + name + ".trashinfo")).contains("Path="));
    }
    // A mover that reports success is believed only when the item is found in a trash folder.
    void outcomeIsCheckedOnDisk_data() {  // mover, the file stays put, part of the message
        table<Outcome>({
            {"vanished file: GIO's message", {Mover::gio, false, ""}},
            {"success that leaves the file", {Mover::claimsOnly, true, "stays.txt"}},
            {"success that moves it elsewhere", {Mover::misplaces, false, "stays.txt"}},
            {"refusal", {Mover::refuses, true, "no trash"}},
        });
    }
    void outcomeIsCheckedOnDisk() {
        const auto [mover, staysPut, told] = row<Outcome>();
        const QByteArray path = m_home.pathOf("files/stays.txt");
        ::unlink(path.constData());
        if (mover != Mover::gio) m_home.write("files/stays.txt");
        const QByteArray elsewhere = m_home.pathOf("home/stays.txt");
        GioTrash trash = mover == Mover::gio ? GioTrash() : GioTrash([&](const QByteArray& from) {
            if (mover == Mover::misplaces) ::rename(from.constData(), elsewhere.constData());
            return mover == Mover::refuses ? std::optional(u"no trash"_s) : std::nullopt;
        });
        const TrashOutcome outcome = trash.moveToTrash(path);
        QVERIFY(!outcome.trashed && !outcome.message.isEmpty());
        QVERIFY2(outcome.message.contains(told), qPrintable(outcome.message));
        QCOMPARE(exists(path), staysPut);
    }
    void trashFoldersOfTheHomeVolume() {
        struct stat st;
        QCOMPARE(lstat(m_home.path().constData(), &st), 0);
        const QByteArray uid = QByteArray::number(getuid());
        const QList<QByteArray> folders =
            trashFilesFolders(m_home.pathOf("files/x.txt"), st.st_dev, m_home.pathOf("data"));
        QCOMPARE(folders.value(0), m_home.trashed({}).chopped(1));
        QVERIFY(folders.value(1).endsWith("/.Trash/" + uid + "/files"));
        QVERIFY(folders.value(2).endsWith("/.Trash-" + uid + "/files"));
    }
};

// As a user the file system refuses: a file in a read-only folder stays where it is.
class TrashRefusalTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readOnlyParentRefuses() {
        if (geteuid() == 0) QSKIP("root ignores permissions: run as an unprivileged user");
        PrivateHome home;
        home.write("files/locked/kept.txt", "kept");
        QCOMPARE(chmod(home.pathOf("files/locked").constData(), 0555), 0);
        const TrashOutcome outcome = GioTrash().moveToTrash(home.pathOf("files/locked/kept.txt"));
        QVERIFY(!outcome.trashed && !outcome.message.isEmpty());
        QCOMPARE(readFile(home.pathOf("files/locked/kept.txt")), QByteArray("kept"));
        QVERIFY(!exists(home.trashed("kept.txt")));
    }
};

// Opening with the default application through GIO, where a stub script is that application.
class FileOpenerTest : public QObject {
    Q_OBJECT
    StubDefaultApp m_stub;
    TempTree m_files;
private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_stub.isValid());
        m_stub.applyToThisProcess();
        // GLib announces launches on the session bus: never an autolaunched one.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tarnwick-test-bus");
        m_files.write("notes caf\xe9 #2.txt");  // Latin-1: not UTF-8
    }
    void reachesTheDefaultApplication_data() {
        table<std::tuple<QByteArray, bool>>({
            {"vanished file", {"gone.txt", false}},
            {"text file with an odd name", {"notes caf\xe9 #2.txt", true}},
            {"folder", {"", true}},
        });
    }
    void reachesTheDefaultApplication() {
        const auto& [name, opens] = row<std::tuple<QByteArray, bool>>();
        QByteArray path = name.isEmpty() ? m_files.path() : m_files.pathOf(name);
        const qsizetype before = m_stub.openedPaths().size();
        const std::optional<QString> error = GioFileOpener().open(path);
        QCOMPARE(error.has_value(), !opens);
        if (!opens) {  // the folder next: had the vanished file started the stub, it comes first
            QVERIFY(!error->isEmpty() && !GioFileOpener().open(path = m_files.path()));
        }
        QTRY_COMPARE(m_stub.openedPaths().mid(before), QList<QByteArray>{path});
    }
};

// The custom keybinding standing in for the portal's shortcut on GNOME, in GSettings (a keyfile).
class GnomeKeybindingTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_root;
    QByteArray keyfile() const {
        QFile file(m_root.filePath(u"config/glib-2.0/settings/keyfile"_s));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
private Q_SLOTS:
    void initTestCase() {
        isolateSettings(m_root, true);
        QVERIFY(QFile::exists(m_root.filePath(u"schemas/gschemas.compiled"_s)));
        // One of the user's own, as GNOME's keyboard settings would have written it.
        GSettings* list = g_settings_new("org.gnome.settings-daemon.plugins.media-keys");
        const char* const mine[] = {kUsersOwn.constData(), nullptr};
        QVERIFY(g_settings_set_strv(list, "custom-keybindings", mine));
        g_settings_sync();
        g_object_unref(list);
    }
    void installsBesideTheUsersOwnAndRemovesOnlyOurs() {
        QVERIFY(GnomeCustomKeybinding::isOffered());
        QVERIFY(!GnomeCustomKeybinding::isInstalled());
        for (int time = 0; time < 2; ++time)  // again: still one entry of ours
            QVERIFY(GnomeCustomKeybinding::install(u"Tarnwick: search"_s,
                                                   u"'/opt/t w/tarnwick' --activate"_s,
                                                   u"<Control><Shift>space"_s));
        QVERIFY(GnomeCustomKeybinding::isInstalled());
        QByteArray text = keyfile();
        QVERIFY2(text.contains("custom-keybindings=['" + kUsersOwn + "', '" +
                               QByteArray(GnomeCustomKeybinding::kPath) + "']\n\n[" +
                               QByteArray(GnomeCustomKeybinding::kPath).mid(1).chopped(1) +
                               "]\nname='Tarnwick: search'\n"
                               "command=\"'/opt/t w/tarnwick' --activate\"\n"
                               "binding='<Control><Shift>space'\n"),
                 text.constData());
        QVERIFY(GnomeCustomKeybinding::remove());
        QVERIFY(!GnomeCustomKeybinding::isInstalled());
        text = keyfile();
        QVERIFY2(text.contains("custom-keybindings=['" + kUsersOwn + "']"), text.data());
        QVERIFY(!text.contains("--activate"));
        const QString command = GnomeCustomKeybinding::activateCommand();  // the path quoted
        QVERIFY(command.startsWith(u'\'') && command.endsWith(QLatin1String("' --activate")));
    }
};

// Where GNOME's schemas are not installed nothing is offered, and nothing aborts.
class GnomeKeybindingAbsentTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_root;
private Q_SLOTS:
    void nothingIsOffered() {
        isolateSettings(m_root, false);
        QVERIFY(!GnomeCustomKeybinding::isOffered());
        QVERIFY(!GnomeCustomKeybinding::isInstalled());
        QString error;
        QVERIFY(!GnomeCustomKeybinding::install(u"x"_s, u"y"_s, u"<Control>z"_s, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(GnomeCustomKeybinding::remove());
    }
};

TARNWICK_TEST(TrashTest)
TARNWICK_TEST(TrashRefusalTest)
TARNWICK_TEST(FileOpenerTest)
TARNWICK_TEST(GnomeKeybindingTest)
TARNWICK_TEST(GnomeKeybindingAbsentTest)
#include "XdgTest.moc"
