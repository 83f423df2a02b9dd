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
        m_tarnwick->setProcessEnvironment(m_bus.environmentFor(m_stub.environment()));
        m_tarnwick->setProcessChannelMode(QProcess::ForwardedChannels);
        m_tarnwick->start(QStringLiteral(TARNWICK_EXECUTABLE),
                          {QStringLiteral("--panel"), QFile::decodeName(m_tree.path())});
        m_threeRowHeight = -1;
        return m_tarnwick->waitForStarted(10000) && xserver::focus(kWindowClass) &&
               step({}, {}, 3);  // notes.txt, sub, sub/inner.txt
    }

    // Types `text`, presses `key` (either may be empty), then waits until the panel's height is
    // the one for `rows` results, measured against the three rows the folder starts with.
    bool step(const QString& text, const QString& key, int rows) {
        return (text.isEmpty() || xserver::type(text)) && (key.isEmpty() || xserver::keys({key})) &&
               QTest::qWaitFor(
                   [&] {
                       const int height = xserver::windowHeight(kWindowClass);
                       if (m_threeRowHeight < 0 && rows == 3) m_threeRowHeight = height;
                       return height > 0 &&
                              height == m_threeRowHeight + panelHeightFor(rows) - panelHeightFor(3);
                   },
                   10000);
    }

    // Presses `key` and waits, with the event loop running (the fake file manager answers from
    // this process), for the program to end well.
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

    // Escape opens nothing; stepping into a folder and back, then Return, opens a file inside;
    // Ctrl+Return reveals through the file manager instead of opening.
    void escapeOpenAndReveal() {
        const QString fileManager = QStringLiteral("org.freedesktop.FileManager1");
        FakeBusService manager(m_bus.connect(QStringLiteral("file-manager")));
        QVERIFY(manager.serve(fileManager));
        manager.onCall(QStringLiteral("/org/freedesktop/FileManager1"), fileManager,
                       QStringLiteral("ShowItems"),
                       [](const QDBusMessage&) { return FakeBusService::answer(); });
        QVERIFY(startPanel() && exitsCleanlyOn(QStringLiteral("Escape")));
        QVERIFY(startPanel());
        QVERIFY(step(QStringLiteral("sub"), {}, 2));   // the folder and the file below it
        QVERIFY(step({}, QStringLiteral("End"), 1));   // inside: inner.txt
        QVERIFY(step({}, QStringLiteral("Home"), 3));  // back out, the query empty
        QVERIFY(step(QStringLiteral("sub"), {}, 2) && step({}, QStringLiteral("End"), 1));
        QVERIFY(xserver::type(QStringLiteral("inn")) && exitsCleanlyOn(QStringLiteral("Return")));
        const QList<QByteArray> inner{m_tree.pathOf("sub/inner.txt")};
        QTRY_COMPARE(m_stub.openedPaths(), inner);
        QVERIFY(startPanel() && step(QStringLiteral("notes"), {}, 1));
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
