#include "app/SingleInstance.h"
#include "core/FileUri.h"
#include "platform/x11/X11KeyGrab.h"
#include "tests/support/TestRunner.h"
#include "tests/support/desktop/FakeBusService.h"
#include "tests/support/desktop/PrivateSessionBus.h"
#include "tests/support/desktop/StatusNotifierWatcherDouble.h"
#include "tests/support/gui/XServer.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

const QString kWindowPath = QStringLiteral("/org/gnome/Nautilus/window/1");

ShortcutKey controlShiftSpace() {
    ShortcutKey key;
    key.keysym = 0x20;
    key.keysymName = QStringLiteral("space");
    key.control = key.shift = true;
    return key;
}

// Whether another client holds Ctrl+Shift+Space: our own grab is then refused.
bool someoneHoldsTheShortcut() {
    X11KeyGrab probe;
    QSignalSpy failed(&probe, &GlobalShortcut::registrationFailed);
    probe.registerKey(controlShiftSpace());
    return !failed.isEmpty();
}

}  // namespace

// Tarnwick as a user runs it, on an X server with a window manager and a private session bus:
// a window carrying Nautilus's properties in front, a file manager reporting its folder, the
// tray watched by a StatusNotifierWatcher that reads the menu, an index that never answers. The
// shortcut opens the panel and closes it; the menu reads as it should and quits the program,
// which gives the key back.
class AppEndToEndTest : public QObject {
    Q_OBJECT
private:
    PrivateSessionBus m_bus;
    QTemporaryDir m_home;
    std::unique_ptr<StatusNotifierWatcherDouble> m_watcher;
    std::unique_ptr<FakeBusService> m_nautilus, m_tracker;
    std::unique_ptr<QWidget> m_window;
    QProcess m_tarnwick;

    bool panelShown() { return !xserver::windowsOf(m_tarnwick.processId()).isEmpty(); }

private Q_SLOTS:
    void initTestCase() {
        QString error;
        QVERIFY2(m_bus.start(&error), qPrintable(error));
        QVERIFY(m_home.isValid());
        const QByteArray folder = QFile::encodeName(m_home.filePath(QStringLiteral("Projects")));
        QVERIFY(QDir().mkpath(QFile::decodeName(folder)));
        QFile(QFile::decodeName(folder + "/notes.txt")).open(QIODevice::WriteOnly);

        m_watcher =
            std::make_unique<StatusNotifierWatcherDouble>(m_bus.connect(QStringLiteral("watcher")));
        QVERIFY(m_watcher->serve());
        m_tracker = std::make_unique<FakeBusService>(m_bus.connect(QStringLiteral("tracker")));
        m_tracker->onCall("/org/freedesktop/Tracker3/Endpoint", "org.freedesktop.Tracker3.Endpoint",
                          "Query", [](const QDBusMessage&) { return FakeBusService::silence(); });
        QVERIFY(m_tracker->serve(QStringLiteral("org.freedesktop.Tracker3.Miner.Files")));
        m_nautilus = std::make_unique<FakeBusService>(m_bus.connect(QStringLiteral("nautilus")));
        QVERIFY(m_nautilus->serve(QStringLiteral("org.freedesktop.FileManager1")));
        m_nautilus->setProperty(QStringLiteral("/org/freedesktop/FileManager1"),
                                QStringLiteral("org.freedesktop.FileManager1"),
                                QStringLiteral("OpenWindowsWithLocations"),
                                QVariant::fromValue(QMap<QString, QStringList>{
                                    {kWindowPath, {fileUriFromPath(folder)}}}));

        m_window = std::make_unique<QWidget>();
        m_window->setWindowTitle(QStringLiteral("Projects"));
        m_window->resize(400, 300);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QVERIFY(xserver::setTextProperty(*m_window->windowHandle(),
                                         QStringLiteral("_GTK_WINDOW_OBJECT_PATH"), kWindowPath));
        QVERIFY(xserver::setTextProperty(*m_window->windowHandle(),
                                         QStringLiteral("_GTK_UNIQUE_BUS_NAME"),
                                         m_nautilus->uniqueName()));

        QVERIFY2(!someoneHoldsTheShortcut(), "the shortcut is taken before tarnwick starts");
        QProcessEnvironment env = m_bus.environmentFor(QProcessEnvironment::systemEnvironment());
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        m_tarnwick.setProcessEnvironment(env);
        m_tarnwick.setProcessChannelMode(QProcess::ForwardedChannels);
        m_tarnwick.start(QStringLiteral(TARNWICK_EXECUTABLE), QStringList());
        QVERIFY(m_tarnwick.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(
            m_bus.nameHasOwner(QString::fromLatin1(SingleInstance::kServiceName)), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(m_watcher->items().size(), 1, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(someoneHoldsTheShortcut(), 20000);
    }

    void cleanupTestCase() {
        if (m_tarnwick.state() != QProcess::NotRunning) {
            m_tarnwick.terminate();
            m_tarnwick.waitForFinished(10000);
        }
    }

    void shortcutAndMenuOpenThePanelAndQuitGivesTheKeyBack() {
        const auto menu = m_watcher->menuOf(m_watcher->items().first());
        QVERIFY(menu);
        QStringList labels;
        for (const DbusMenuEntry& entry : *menu)
            labels << (entry.isSeparator() ? QStringLiteral("---") : entry.label());
        QCOMPARE(labels, (QStringList{"Search File Manager Window", "---",
                                      "Shortcut: Ctrl+Shift+Space", "---", "Settings\u2026",
                                      "Check for Updates\u2026", "---", "Quit Tarnwick"}));
        QVERIFY(menu->at(0).isEnabled() && !menu->at(2).isEnabled() && menu->at(5).isEnabled());
        QCOMPARE(menu->at(4).shortcut(), QStringLiteral("Control+,"));
        QCOMPARE(menu->at(7).shortcut(), QStringLiteral("Control+Q"));
        QVERIFY(menu->at(0).shortcut().isEmpty() && menu->at(5).shortcut().isEmpty());

        QVERIFY(!panelShown());
        QVERIFY(xserver::keys({QStringLiteral("ctrl+shift+space")}));
        QTRY_VERIFY_WITH_TIMEOUT(panelShown(), 10000);
        // A folder handed over while that panel still connects to the index (whose stub never
        // answers, so that takes a second): the instance lives on and shows the new panel.
        QTRY_VERIFY_WITH_TIMEOUT(m_tracker->callCount(QStringLiteral("Query")) > 0, 20000);
        const StartRequest request{StartRequest::Kind::openFolder,
                                   QFile::encodeName(m_home.filePath(QStringLiteral("Projects")))};
        QCOMPARE(SingleInstance(m_bus.connect(QStringLiteral("second"))).handOver(request),
                 QString());
        QTest::qWait(1500);  // the connection has given up by now
        QCOMPARE(m_tarnwick.state(), QProcess::Running);
        QVERIFY(panelShown());
        // The panel is on top now; the file manager's window under it still counts.
        QVERIFY(xserver::keys({QStringLiteral("ctrl+shift+space")}));
        QTRY_VERIFY_WITH_TIMEOUT(!panelShown(), 10000);
        QVERIFY(m_nautilus->callCount(QStringLiteral("Get")) >= 2);

        QVERIFY(m_watcher->click(m_watcher->items().first(), menu->at(0).id));  // the menu too
        QTRY_VERIFY_WITH_TIMEOUT(panelShown(), 10000);
        QVERIFY(xserver::keys({QStringLiteral("ctrl+shift+space")}));
        QTRY_VERIFY_WITH_TIMEOUT(!panelShown(), 10000);

        QVERIFY(m_watcher->click(m_watcher->items().first(), menu->at(7).id));
        QVERIFY(m_tarnwick.waitForFinished(10000));
        QCOMPARE(m_tarnwick.exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_tarnwick.exitCode(), 0);
        QVERIFY(!someoneHoldsTheShortcut());
    }
};

TARNWICK_TEST(AppEndToEndTest)
#include "AppEndToEndTest.moc"
