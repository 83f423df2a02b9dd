#include "StubDefaultApp.h"
#include "platform/xdg/GioFileOpener.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;

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
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("opens");
        QTest::newRow("vanished file") << QByteArray("gone.txt") << false;
        QTest::newRow("text file with an odd name") << QByteArray("notes caf\xe9 #2.txt") << true;
        QTest::newRow("folder") << QByteArray() << true;
    }
    void reachesTheDefaultApplication() {
        QFETCH(QByteArray, name);
        QFETCH(bool, opens);
        QByteArray path = name.isEmpty() ? m_files.path() : m_files.pathOf(name);
        const qsizetype before = m_stub.openedPaths().size();
        const std::optional<QString> error = GioFileOpener().open(path);
        QCOMPARE(error.has_value(), !opens);
        if (!opens) {
            QVERIFY(!error->isEmpty());
            // The folder next: had the vanished file started the stub, it would come first.
            path = m_files.path();
            QVERIFY(!GioFileOpener().open(path));
        }
        QTRY_COMPARE(m_stub.openedPaths().mid(before), QList<QByteArray>{path});
    }
};

TARNWICK_TEST(FileOpenerTest)
#include "FileOpenerTest.moc"
