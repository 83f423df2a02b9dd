#include "core/FileUri.h"
#include "panel/PanelPlacement.h"
#include "tests/platform/FakeFileManager.h"
#include "tests/platform/StubDefaultApp.h"
#include "tests/platform/XdoTool.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"
#include "tests/support/desktop/PrivateSessionBus.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QProcess>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

const QString kWindowClass = QStringLiteral("Tarnwick");

}  // namespace

// `tarnwick --panel FOLDER` on a private X server, driven with xdotool: typing, stepping into a
// folder and back, opening a file with a stub default application, revealing it through a fake
// file manager on a private session bus.
class EndToEndTest : public QObject {
    Q_OBJECT

    TempTree m_tree;
    StubDefaultApp m_stub;
    PrivateSessionBus m_bus;
    std::unique_ptr<QProcess> m_tarnwick;
    int m_threeRowHeight = -1;

    bool startPanel() {
        m_tarnwick = std::make_unique<QProcess>();
        QProcessEnvironment environment = m_stub.environment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                           QString::fromLatin1(m_bus.address()));
        m_tarnwick->setProcessEnvironment(environment);
        m_tarnwick->setProcessChannelMode(QProcess::ForwardedChannels);
        m_tarnwick->start(QStringLiteral(TARNWICK_EXECUTABLE),
                          {QStringLiteral("--panel"), QFile::decodeName(m_tree.path())});
        if (!m_tarnwick->waitForStarted(10000) || !xdoFocusWindowClass(kWindowClass)) return false;
        m_threeRowHeight = -1;
        return showsRows(3);  // notes.txt, sub, sub/inner.txt
    }

    // Waits until the panel's height is the one for `rows` results (measured against the
    // three rows the folder starts with).
    bool showsRows(int rows) {
        return QTest::qWaitFor(
            [&] {
                const int height = xdoWindowHeight(kWindowClass);
                if (m_threeRowHeight < 0 && rows == 3) m_threeRowHeight = height;
                return height > 0 &&
                       height == m_threeRowHeight + panelHeightFor(rows) - panelHeightFor(3);
            },
            10000);
    }

    // Waits with the event loop running: the fake file manager answers from this process.
    bool exitsCleanly() {
        return QTest::qWaitFor([&] { return m_tarnwick->state() == QProcess::NotRunning; },
                               10000) &&
               m_tarnwick->exitStatus() == QProcess::NormalExit && m_tarnwick->exitCode() == 0;
    }

private Q_SLOTS:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server (run through run-with-xvfb)");
        QVERIFY(m_stub.isValid());
        QString busError;
        QVERIFY2(m_bus.start(&busError), qPrintable(busError));
        m_tree.write("notes.txt", "top\n");
        m_tree.write("sub/inner.txt", "below\n");
    }

    void cleanup() {
        if (m_tarnwick && m_tarnwick->state() != QProcess::NotRunning) {
            m_tarnwick->kill();
            m_tarnwick->waitForFinished();
        }
    }

    void stepIntoAFolderAndOpenAFileThere() {
        const qsizetype opened = m_stub.openedPaths().size();
        QVERIFY(startPanel());
        QVERIFY(xdoType(QStringLiteral("sub")));
        QVERIFY(showsRows(2));  // the folder and the file below it
        QVERIFY(xdoKeys({QStringLiteral("End")}));
        QVERIFY(showsRows(1));  // inside: inner.txt
        QVERIFY(xdoType(QStringLiteral("inn")));
        QVERIFY(xdoKeys({QStringLiteral("Return")}));
        QVERIFY(exitsCleanly());
        QTRY_COMPARE(m_stub.openedPaths().size(), opened + 1);
        QCOMPARE(m_stub.openedPaths().last(), m_tree.pathOf("sub/inner.txt"));
    }

    void stepInAndBackOutThenOpen() {
        const qsizetype opened = m_stub.openedPaths().size();
        QVERIFY(startPanel());
        QVERIFY(xdoType(QStringLiteral("sub")));
        QVERIFY(showsRows(2));
        QVERIFY(xdoKeys({QStringLiteral("End")}));
        QVERIFY(showsRows(1));
        QVERIFY(xdoKeys({QStringLiteral("Home")}));
        QVERIFY(showsRows(3));  // back in the opened folder, the query empty
        QVERIFY(xdoType(QStringLiteral("notes")));
        QVERIFY(showsRows(1));
        QVERIFY(xdoKeys({QStringLiteral("Return")}));
        QVERIFY(exitsCleanly());
        QTRY_COMPARE(m_stub.openedPaths().size(), opened + 1);
        QCOMPARE(m_stub.openedPaths().last(), m_tree.pathOf("notes.txt"));
    }

    void ctrlReturnRevealsInTheFileManager() {
        FakeFileManager manager;
        QDBusConnection side = QDBusConnection::connectToBus(QString::fromLatin1(m_bus.address()),
                                                             QStringLiteral("file-manager"));
        QVERIFY(side.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &manager,
                                    QDBusConnection::ExportAllSlots));
        QVERIFY(side.registerService(QStringLiteral("org.freedesktop.FileManager1")));
        const qsizetype opened = m_stub.openedPaths().size();
        QVERIFY(startPanel());
        QVERIFY(xdoType(QStringLiteral("notes")));
        QVERIFY(showsRows(1));
        QVERIFY(xdoKeys({QStringLiteral("ctrl+Return")}));
        QVERIFY(exitsCleanly());
        QTRY_COMPARE(manager.shownUris.size(), 1);
        QCOMPARE(manager.shownUris.first(),
                 QStringList{fileUriFromPath(m_tree.pathOf("notes.txt"))});
        QVERIFY(manager.startupIds.first().contains(u"_TIME"));
        QCOMPARE(m_stub.openedPaths().size(), opened);
        side.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
        QDBusConnection::disconnectFromBus(side.name());
    }

    void escapeClosesWithoutOpening() {
        const qsizetype opened = m_stub.openedPaths().size();
        QVERIFY(startPanel());
        QVERIFY(xdoKeys({QStringLiteral("Escape")}));
        QVERIFY(exitsCleanly());
        QCOMPARE(m_stub.openedPaths().size(), opened);
    }
};

TARNWICK_TEST(EndToEndTest)
#include "EndToEndTest.moc"
