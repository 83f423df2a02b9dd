#include "core/FileUri.h"
#include "panel/PanelPlacement.h"
#include "tests/platform/StubDefaultApp.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"
#include "tests/support/desktop/FakeBusService.h"
#include "tests/support/desktop/PrivateSessionBus.h"
#include "tests/support/gui/XServer.h"

#include <QDBusConnection>
#include <QProcess>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;

static const QString kWindowClass = QStringLiteral("Tarnwick");

// `tarnwick --panel FOLDER` on Xvfb through xdotool, with a stub default application and a fake
// file manager on a private session bus.
class EndToEndTest : public QObject {
    Q_OBJECT
    TempTree m_tree;
    StubDefaultApp m_stub;
    PrivateSessionBus m_bus;
    std::unique_ptr<QProcess> m_tarnwick;
    int m_threeRowHeight = -1;
    // Heights are measured against the three rows the folder starts with.
    bool startPanel() {
        m_tarnwick = std::make_unique<QProcess>();
        m_tarnwick->setProcessEnvironment(m_bus.environmentFor(m_stub.environment()));
        m_tarnwick->setProcessChannelMode(QProcess::ForwardedChannels);
        m_tarnwick->start(QStringLiteral(TARNWICK_EXECUTABLE),
                          {QStringLiteral("--panel"), QFile::decodeName(m_tree.path())});
        return m_tarnwick->waitForStarted(10000) && xserver::focus(kWindowClass) &&
               (m_threeRowHeight = xserver::windowHeight(kWindowClass)) > 0;
    }
    bool shows(int rows) {
        const int height = m_threeRowHeight + panelHeightFor(rows) - panelHeightFor(3);
        return QTest::qWaitFor([&] { return xserver::windowHeight(kWindowClass) == height; },
                               10000);
    }
    // With the event loop running: the fake file manager answers from this process.
    bool exitsCleanlyOn(const QString& key) {
        return xserver::keys({key}) &&
               QTest::qWaitFor([&] { return m_tarnwick->state() == QProcess::NotRunning; },
                               10000) &&
               m_tarnwick->exitStatus() == QProcess::NormalExit && m_tarnwick->exitCode() == 0;
    }
private Q_SLOTS:
    void initTestCase() {
        if (!xserver::available()) QSKIP("needs an X server (run through run-with-xvfb)");
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
    // Escape opens nothing, Return opens after stepping in and out, Ctrl+Return reveals.
    void escapeOpenAndReveal() {
        const QString fileManager = QStringLiteral("org.freedesktop.FileManager1");
        FakeBusService manager(m_bus.connect(QStringLiteral("file-manager")));
        QVERIFY(manager.serve(fileManager));
        manager.onCall(QStringLiteral("/org/freedesktop/FileManager1"), fileManager,
                       QStringLiteral("ShowItems"),
                       [](const QDBusMessage&) { return FakeBusService::answer(); });
        QVERIFY(startPanel() && exitsCleanlyOn(QStringLiteral("Escape")));
        QVERIFY(startPanel());
        // "sub" shows the folder and the file below; End steps in (inner.txt), Home back out.
        for (const char* step : {"sub|2", "End|1", "Home|3", "sub|2", "End|1"}) {
            const QString key = QString::fromLatin1(step).section(u'|', 0, 0);
            QVERIFY(key == u"sub" ? xserver::type(key) : xserver::keys({key}));
            QVERIFY(shows(QString::fromLatin1(step).section(u'|', 1).toInt()));
        }
        QVERIFY(xserver::type(QStringLiteral("inn")) && exitsCleanlyOn(QStringLiteral("Return")));
        const QList<QByteArray> inner{m_tree.pathOf("sub/inner.txt")};
        QTRY_COMPARE(m_stub.openedPaths(), inner);
        QVERIFY(startPanel() && xserver::type(QStringLiteral("notes")) && shows(1));
        QVERIFY(exitsCleanlyOn(QStringLiteral("ctrl+Return")));
        QTRY_COMPARE(manager.callCount(QStringLiteral("ShowItems")), 1);
        const QVariantList shown = manager.calls(QStringLiteral("ShowItems")).first().arguments();
        QCOMPARE(shown.value(0).toStringList(),
                 QStringList{fileUriFromPath(m_tree.pathOf("notes.txt"))});
        QVERIFY(shown.value(1).toString().contains(u"_TIME"));
        QCOMPARE(m_stub.openedPaths(), inner);
    }
};

TARNWICK_TEST(EndToEndTest)
#include "EndToEndTest.moc"
