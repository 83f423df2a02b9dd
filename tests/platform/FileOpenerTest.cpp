#include "StubDefaultApp.h"
#include "platform/xdg/GioFileOpener.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using namespace tarnwick;
using namespace tarnwick::test;

// Opening with the default application through GIO, where a stub script is that application.
class FileOpenerTest : public QObject {
    Q_OBJECT

    StubDefaultApp m_stub;
    QByteArray m_files;

    QByteArray makeFile(const QByteArray& name) {
        const QByteArray path = m_files + "/" + name;
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) return {};
        ::close(fd);
        return path;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_stub.isValid());
        m_stub.applyToThisProcess();
        // GLib announces launches on the session bus: never an autolaunched one.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tarnwick-test-bus");
        m_files = m_stub.root() + "/files";
        QVERIFY(QDir().mkpath(QFile::decodeName(m_files)));
    }

    void textFileWithAnOddNameReachesItsApplication() {
        const QByteArray path = makeFile("notes caf\xe9 #2.txt");  // Latin-1: not UTF-8
        QVERIFY(!path.isEmpty());
        const std::optional<QString> error = GioFileOpener().open(path);
        QVERIFY2(!error, qPrintable(error.value_or(QString())));
        QTRY_COMPARE(m_stub.openedPaths(), QList<QByteArray>{path});
    }

    void folderOpensWithTheFolderApplication() {
        const qsizetype before = m_stub.openedPaths().size();
        const std::optional<QString> error = GioFileOpener().open(m_files);
        QVERIFY2(!error, qPrintable(error.value_or(QString())));
        QTRY_COMPARE(m_stub.openedPaths().size(), before + 1);
        QCOMPARE(m_stub.openedPaths().last(), m_files);
    }

    void vanishedFileGivesTheLaunchersMessage() {
        const qsizetype before = m_stub.openedPaths().size();
        const std::optional<QString> error = GioFileOpener().open(m_files + "/gone.txt");
        QVERIFY(error);
        QVERIFY(!error->isEmpty());
        QTest::qWait(200);
        QCOMPARE(m_stub.openedPaths().size(), before);
    }
};

TARNWICK_TEST(FileOpenerTest)
#include "FileOpenerTest.moc"
