#include "platform/xdg/GioTrash.h"
#include "platform/xdg/TrashFolders.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarnwick;

namespace {

bool exists(const QByteArray& path) {
    struct stat st;
    return lstat(path.constData(), &st) == 0;
}

bool writeFile(const QByteArray& path, const QByteArray& content) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    const bool written = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    return ::close(fd) == 0 && written;
}

QByteArray readFile(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0) return {};
    QByteArray content(4096, '\0');
    const ssize_t got = ::read(fd, content.data(), size_t(content.size()));
    ::close(fd);
    content.truncate(got < 0 ? 0 : got);
    return content;
}

QList<QByteArray> namesIn(const QByteArray& folder) {
    QList<QByteArray> names;
    if (DIR* dir = opendir(folder.constData())) {
        while (const dirent* entry = readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..") names.append(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A home, a data folder and the files to trash, side by side on one volume. GLib reads HOME and
// XDG_DATA_HOME once per process, so they are set before anything asks it.
struct PrivateHome {
    QTemporaryDir base;
    QByteArray home, data, files;

    PrivateHome() {
        const QByteArray root = QFile::encodeName(base.path());
        home = root + "/home";
        data = root + "/data";  // made by the trash itself
        files = root + "/files";
        QDir().mkpath(QFile::decodeName(home));
        QDir().mkpath(QFile::decodeName(files));
        qputenv("HOME", home);
        qputenv("XDG_DATA_HOME", data);
    }
    QByteArray trashFiles() const { return data + "/Trash/files"; }
    QByteArray trashInfo() const { return data + "/Trash/info"; }
};

}  // namespace

// Moving to the trash through GIO into a private XDG data home, and the check that the item
// really arrived there.
class TrashTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateHome> m_home;

    QByteArray file(const QByteArray& name, const QByteArray& content = "content") {
        const QByteArray path = m_home->files + "/" + name;
        return writeFile(path, content) ? path : QByteArray();
    }

private Q_SLOTS:
    void initTestCase() {
        m_home = std::make_unique<PrivateHome>();
        QVERIFY(m_home->base.isValid());
    }

    void missingDataFolderIsMadeAndTheFileArrives() {
        QVERIFY(!exists(m_home->data));
        const QByteArray path = file("first.txt", "hello");
        const TrashOutcome outcome = GioTrash().moveToTrash(path);
        QVERIFY2(outcome.trashed, qPrintable(outcome.message));
        QVERIFY(!exists(path));
        QCOMPARE(readFile(m_home->trashFiles() + "/first.txt"), QByteArray("hello"));
        const QByteArray info = readFile(m_home->trashInfo() + "/first.txt.trashinfo");
        QVERIFY(info.contains("[Trash Info]"));
        QVERIFY(info.contains("Path="));
    }

    void folderGoesWithItsContent() {
        const QByteArray folder = m_home->files + "/album";
        QVERIFY(QDir().mkpath(QFile::decodeName(folder + "/inner")));
        QVERIFY(writeFile(folder + "/inner/photo.jpg", "jpeg"));
        const TrashOutcome outcome = GioTrash().moveToTrash(folder);
        QVERIFY2(outcome.trashed, qPrintable(outcome.message));
        QVERIFY(!exists(folder));
        QCOMPARE(readFile(m_home->trashFiles() + "/album/inner/photo.jpg"), QByteArray("jpeg"));
    }

    void nameThatIsNotUtf8KeepsItsBytes() {
        const QByteArray name("caf\xe9-\xff.txt");
        const QByteArray path = file(name, "bytes");
        QVERIFY(!path.isEmpty());
        const TrashOutcome outcome = GioTrash().moveToTrash(path);
        QVERIFY2(outcome.trashed, qPrintable(outcome.message));
        QVERIFY(!exists(path));
        QVERIFY(namesIn(m_home->trashFiles()).contains(name));
        QCOMPARE(readFile(m_home->trashFiles() + "/" + name), QByteArray("bytes"));
    }

    void sameNameTwiceIsFoundEachTime() {
        const QByteArray first = file("twice.txt", "one");
        QVERIFY(GioTrash().moveToTrash(first).trashed);
        const QByteArray second = file("twice.txt", "two");
        const TrashOutcome outcome = GioTrash().moveToTrash(second);
        QVERIFY2(outcome.trashed, qPrintable(outcome.message));
        int copies = 0;
        for (const QByteArray& name : namesIn(m_home->trashFiles()))
            if (name.startsWith("twice")) ++copies;
        QCOMPARE(copies, 2);
    }

    void vanishedFileIsRefusedWithGiosMessage() {
        const QByteArray path = m_home->files + "/never-there.txt";
        const TrashOutcome outcome = GioTrash().moveToTrash(path);
        QVERIFY(!outcome.trashed);
        QVERIFY(!outcome.message.isEmpty());
    }

    void successThatLeavesTheFileIsAFailure() {
        const QByteArray path = file("stays.txt");
        GioTrash claimsOnly([](const QByteArray&) { return std::optional<QString>(); });
        const TrashOutcome outcome = claimsOnly.moveToTrash(path);
        QVERIFY(!outcome.trashed);
        QVERIFY(outcome.message.contains(u"stays.txt"));
        QVERIFY(exists(path));
    }

    void successThatMovesElsewhereIsAFailure() {
        const QByteArray path = file("wanders.txt");
        const QByteArray elsewhere = m_home->home + "/wanders.txt";
        GioTrash misplaces([&](const QByteArray& from) -> std::optional<QString> {
            if (rename(from.constData(), elsewhere.constData()) != 0) return QStringLiteral("no");
            return std::nullopt;
        });
        const TrashOutcome outcome = misplaces.moveToTrash(path);
        QVERIFY(!outcome.trashed);
        QVERIFY(!outcome.message.isEmpty());
        QVERIFY(exists(elsewhere));
    }

    void refusalMessageIsPassedOn() {
        const QByteArray path = file("refused.txt");
        GioTrash refuses(
            [](const QByteArray&) { return std::optional(QStringLiteral("no trash")); });
        const TrashOutcome outcome = refuses.moveToTrash(path);
        QVERIFY(!outcome.trashed);
        QCOMPARE(outcome.message, QStringLiteral("no trash"));
    }

    void trashFoldersOfTheHomeVolume() {
        struct stat st;
        QVERIFY(lstat(m_home->files.constData(), &st) == 0);
        const QList<QByteArray> folders =
            trashFilesFolders(m_home->files + "/x.txt", st.st_dev, m_home->data);
        QCOMPARE(folders.first(), m_home->trashFiles());
        const QByteArray uid = QByteArray::number(getuid());
        QVERIFY(folders[1].endsWith("/.Trash/" + uid + "/files"));
        QVERIFY(folders[2].endsWith("/.Trash-" + uid + "/files"));
    }
};

// As a user the file system refuses: a file in a read-only folder stays where it is, and the
// refusal comes back with GIO's words.
class TrashRefusalTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateHome> m_home;

private Q_SLOTS:
    void initTestCase() {
        if (geteuid() == 0) QSKIP("root ignores permissions: run as an unprivileged user");
        m_home = std::make_unique<PrivateHome>();
        QVERIFY(m_home->base.isValid());
    }

    void readOnlyParentRefuses() {
        const QByteArray folder = m_home->files + "/locked";
        QVERIFY(QDir().mkpath(QFile::decodeName(folder)));
        const QByteArray path = folder + "/kept.txt";
        QVERIFY(writeFile(path, "kept"));
        QVERIFY(chmod(folder.constData(), 0555) == 0);
        const TrashOutcome outcome = GioTrash().moveToTrash(path);
        chmod(folder.constData(), 0755);
        QVERIFY(!outcome.trashed);
        QVERIFY(!outcome.message.isEmpty());
        QCOMPARE(readFile(path), QByteArray("kept"));
        QVERIFY(!namesIn(m_home->trashFiles()).contains("kept.txt"));
    }
};

TARNWICK_TEST(TrashTest)
TARNWICK_TEST(TrashRefusalTest)
#include "TrashTest.moc"
