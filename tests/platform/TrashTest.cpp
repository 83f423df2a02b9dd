#include "platform/xdg/GioTrash.h"
#include "platform/xdg/TrashFolders.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

bool exists(const QByteArray& path) {
    struct stat st;
    return lstat(path.constData(), &st) == 0;
}

QByteArray readFile(const QByteArray& path) {
    QByteArray content(4096, '\0');
    const int fd = ::open(path.constData(), O_RDONLY);
    const ssize_t got = fd < 0 ? 0 : ::read(fd, content.data(), size_t(content.size()));
    if (fd >= 0) ::close(fd);
    return content.left(std::max<ssize_t>(got, 0));
}

// A home, a data folder (made by the trash itself) and the files to trash, on one volume. GLib
// reads HOME and XDG_DATA_HOME once per process, so they are set before anything asks it.
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

}  // namespace

// Moving to the trash through GIO into a private XDG data home, and the check that the item
// really arrived there.
class TrashTest : public QObject {
    Q_OBJECT

    PrivateHome m_home;

private Q_SLOTS:
    void itemArrivesWithItsContent_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("file");  // inside the item, or the item itself
        QTest::newRow("file, no data folder yet") << QByteArray("first.txt") << QByteArray();
        QTest::newRow("name that is not UTF-8") << QByteArray("caf\xe9-\xff.txt") << QByteArray();
        QTest::newRow("folder") << QByteArray("album") << QByteArray("/inner/photo.jpg");
    }
    void itemArrivesWithItsContent() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, file);
        m_home.write("files/" + name + file, "content of " + name);
        const TrashOutcome outcome = GioTrash().moveToTrash(m_home.pathOf("files/" + name));
        QVERIFY2(outcome.trashed, qPrintable(outcome.message));
        QVERIFY(!exists(m_home.pathOf("files/" + name)));
        QCOMPARE(readFile(m_home.trashed(name + file)), "content of " + name);
        QVERIFY(
            readFile(m_home.pathOf("data/Trash/info/" + name + ".trashinfo")).contains("Path="));
    }

    void sameNameTwiceIsFoundEachTime() {
        for (const QByteArray content : {"one", "two"}) {
            m_home.write("files/twice.txt", content);
            const TrashOutcome outcome = GioTrash().moveToTrash(m_home.pathOf("files/twice.txt"));
            QVERIFY2(outcome.trashed, qPrintable(outcome.message));
        }
        QCOMPARE(QDir(QFile::decodeName(m_home.trashed({}))).entryList({"twice*"}).size(), 2);
    }

    // A mover that reports success is believed only when the item is found in a trash folder.
    void outcomeIsCheckedOnDisk_data() {
        QTest::addColumn<Mover>("mover");
        QTest::addColumn<bool>("staysPut");
        QTest::addColumn<QString>("told");  // a part of the message
        QTest::newRow("vanished file: GIO's message") << Mover::gio << false << QString();
        QTest::newRow("success that leaves the file") << Mover::claimsOnly << true << "stays.txt";
        QTest::newRow("success that moves it elsewhere")
            << Mover::misplaces << false << "stays.txt";
        QTest::newRow("refusal") << Mover::refuses << true << "no trash";
    }
    void outcomeIsCheckedOnDisk() {
        QFETCH(Mover, mover);
        QFETCH(bool, staysPut);
        QFETCH(QString, told);
        const QByteArray path = m_home.pathOf("files/stays.txt");
        ::unlink(path.constData());
        if (mover != Mover::gio) m_home.write("files/stays.txt");
        const QByteArray elsewhere = m_home.pathOf("home/stays.txt");
        GioTrash trash = mover == Mover::gio ? GioTrash() : GioTrash([&](const QByteArray& from) {
            if (mover == Mover::misplaces) ::rename(from.constData(), elsewhere.constData());
            return mover == Mover::refuses ? std::optional(QStringLiteral("no trash"))
                                           : std::nullopt;
        });
        const TrashOutcome outcome = trash.moveToTrash(path);
        QVERIFY(!outcome.trashed);
        QVERIFY(!outcome.message.isEmpty());
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
        QVERIFY(!outcome.trashed);
        QVERIFY(!outcome.message.isEmpty());
        QCOMPARE(readFile(home.pathOf("files/locked/kept.txt")), QByteArray("kept"));
        QVERIFY(!exists(home.trashed("kept.txt")));
    }
};

TARNWICK_TEST(TrashTest)
TARNWICK_TEST(TrashRefusalTest)
#include "TrashTest.moc"
