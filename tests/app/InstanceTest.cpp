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

#include <sys/stat.h>

using namespace tarnwick;
using namespace tarnwick::test;
using namespace Qt::StringLiterals;

// One tray application per session: this test process owns the name as the first instance
// would, and the real binary, started again, hands its command line over and leaves.
class SingleInstanceTest : public QObject {
    Q_OBJECT
private:
    PrivateSessionBus m_bus;
    QTemporaryDir m_home;
    int m_serial = 0;
    // Runs tarnwick and gives its exit code; the arguments go byte for byte (QProcess would pass
    // them through QString): a shell's printf rebuilds each from octal escapes. Waits in the event
    // loop, so that this process can answer the hand-over meanwhile.
    int start(const QList<QByteArray>& arguments, const QString& workingFolder = {}) {
        QString script = u"exec \"$0\""_s;
        for (const QByteArray& argument : arguments) {
            script += u" \"$(printf '"_s;
            for (char byte : argument)
                script += u"\\%1"_s.arg(uint(uchar(byte)), 3, 8, QLatin1Char('0'));
            script += u"')\""_s;
        }
        QProcessEnvironment env = m_bus.environmentFor(QProcessEnvironment::systemEnvironment());
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        env.insert(u"HOME"_s, m_home.path());
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(workingFolder);
        process.start(u"/bin/sh"_s, {u"-c"_s, script, QStringLiteral(TARNWICK_EXECUTABLE)});
        const bool ended =
            process.waitForStarted(10000) &&
            QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20000);
        return ended ? process.exitCode() : -1;
    }
    std::unique_ptr<SingleInstance> primary() {
        auto instance =
            std::make_unique<SingleInstance>(m_bus.connect(u"primary%1"_s.arg(++m_serial)));
        if (instance->claim() != SingleInstance::Claim::primary) return nullptr;
        return instance;
    }

private Q_SLOTS:
    void initTestCase() {
        QString error;
        QVERIFY2(m_bus.start(&error) && m_home.isValid(), qPrintable(error));
    }
    void secondClaimFindsTheFirst() {
        auto first = primary();
        QVERIFY(first);
        SingleInstance second(m_bus.connect(u"second"_s));
        QCOMPARE(second.claim(), SingleInstance::Claim::alreadyRunning);
        first.reset();
        QTRY_COMPARE(second.claim(), SingleInstance::Claim::primary);
    }
    void commandLinesAreHandedOver() {
        auto instance = primary();
        QVERIFY(instance);
        QSignalSpy folders(instance.get(), &SingleInstance::folderRequested);
        QSignalSpy searches(instance.get(), &SingleInstance::searchRequested);
        QSignalSpy plain(instance.get(), &SingleInstance::activateRequested);
        QSignalSpy settings(instance.get(), &SingleInstance::settingsRequested);
        // Byte for byte, and a relative folder resolved where the command ran.
        const QByteArray folder = QFile::encodeName(m_home.path()) + "/caf\xe9 \xff folder";
        QCOMPARE(mkdir(folder.constData(), 0700), 0);
        QCOMPARE(start({folder}), 0);
        QVERIFY(QDir(m_home.path()).mkpath(u"here/sub"_s));
        QCOMPARE(start({"sub/../sub"}, m_home.filePath(u"here"_s)), 0);
        QCOMPARE(folders.size(), 2);
        QCOMPARE(folders[0][0].toByteArray(), folder);
        QCOMPARE(folders[1][0].toByteArray(),
                 QFile::encodeName(QDir(m_home.filePath(u"here/sub"_s)).canonicalPath()));
        QVERIFY(start({"--activate"}) == 0 && start({}) == 0 && start({"--settings"}) == 0);
        QVERIFY(searches.size() == 1 && plain.size() == 1 && settings.size() == 1);
        // Bad command lines never reach the instance.
        const QString file = m_home.filePath(u"file.txt"_s);
        QFile(file).open(QIODevice::WriteOnly);
        const std::pair<QList<QByteArray>, int> bad[] = {{{"/nonexistent/folder"}, 1},
                                                         {{QFile::encodeName(file)}, 1},
                                                         {{"--activate", "/tmp"}, 2},
                                                         {{"a", "b"}, 2},
                                                         {{"--settings", "--activate"}, 2}};
        for (const auto& [arguments, exitCode] : bad) QCOMPARE(start(arguments), exitCode);
        QCOMPARE(folders.size() + searches.size() + plain.size() + settings.size(), 5);
    }
};

namespace {

const QString kWindowPath = u"/org/gnome/Nautilus/window/1"_s;

// Whether another client holds Ctrl+Shift+Space: our own grab is then refused.
bool someoneHoldsTheShortcut() {
    X11KeyGrab probe;
    QSignalSpy failed(&probe, &GlobalShortcut::registrationFailed);
    probe.registerKey({0x20, u"space"_s, true, false, true, false, {}});
    return !failed.isEmpty();
}

}  // namespace

// The real binary on an X server with a window manager and a private session bus: Nautilus's
// window in front, a tray watcher reading the menu, an index that never answers.
class AppEndToEndTest : public QObject {
    Q_OBJECT
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
        QVERIFY2(m_bus.start(&error) && m_home.isValid(), qPrintable(error));
        const QByteArray folder = QFile::encodeName(m_home.filePath(u"Projects"_s));
        QVERIFY(QDir().mkpath(QFile::decodeName(folder)));
        QFile(QFile::decodeName(folder + "/notes.txt")).open(QIODevice::WriteOnly);
        m_watcher = std::make_unique<StatusNotifierWatcherDouble>(m_bus.connect(u"watcher"_s));
        QVERIFY(m_watcher->serve());
        m_tracker = std::make_unique<FakeBusService>(m_bus.connect(u"tracker"_s));
        m_tracker->onCall("/org/freedesktop/Tracker3/Endpoint", "org.freedesktop.Tracker3.Endpoint",
                          "Query", [](const QDBusMessage&) { return FakeBusService::silence(); });
        QVERIFY(m_tracker->serve(u"org.freedesktop.Tracker3.Miner.Files"_s));
        m_nautilus = std::make_unique<FakeBusService>(m_bus.connect(u"nautilus"_s));
        QVERIFY(m_nautilus->serve(u"org.freedesktop.FileManager1"_s));
        m_nautilus->setProperty(u"/org/freedesktop/FileManager1"_s,
                                u"org.freedesktop.FileManager1"_s, u"OpenWindowsWithLocations"_s,
                                QVariant::fromValue(QMap<QString, QStringList>{
                                    {kWindowPath, {fileUriFromPath(folder)}}}));
        m_window = std::make_unique<QWidget>();
        m_window->setWindowTitle(u"Projects"_s);
        m_window->resize(400, 300);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QWindow& window = *m_window->windowHandle();
        QVERIFY(
            xserver::setTextProperty(window, u"_GTK_WINDOW_OBJECT_PATH"_s, kWindowPath) &&
            xserver::setTextProperty(window, u"_GTK_UNIQUE_BUS_NAME"_s, m_nautilus->uniqueName()));
        QVERIFY2(!someoneHoldsTheShortcut(), "the shortcut is taken before tarnwick starts");
        QProcessEnvironment env = m_bus.environmentFor(QProcessEnvironment::systemEnvironment());
        env.insert(u"HOME"_s, m_home.path());
        env.insert(u"XDG_CONFIG_HOME"_s, m_home.filePath(u"config"_s));
        env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
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
    // The shortcut opens the panel; a folder handed over while that panel still connects to
    // the index (about a second) shows a new one; the menu's entries work and Quit frees the key.
    void shortcutHandOverAndMenu() {
        const auto menu = m_watcher->menuOf(m_watcher->items().first());
        QVERIFY(menu);
        QStringList labels;
        for (const DbusMenuEntry& entry : *menu)
            labels << (entry.isSeparator() ? u"---"_s : entry.label() + u' ' + entry.shortcut())
                          .trimmed();
        QCOMPARE(labels,
                 (QStringList{"Search File Manager Window", "---", "Shortcut: Ctrl+Shift+Space",
                              "---", "Settings\u2026 Control+,", "Check for Updates\u2026", "---",
                              "Quit Tarnwick Control+Q"}));
        QVERIFY(menu->at(0).isEnabled() && !menu->at(2).isEnabled() && menu->at(5).isEnabled());
        QVERIFY(!panelShown() && xserver::keys({u"ctrl+shift+space"_s}));
        QTRY_VERIFY_WITH_TIMEOUT(panelShown(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(m_tracker->callCount(u"Query"_s) > 0, 20000);
        const StartRequest request{StartRequest::Kind::openFolder,
                                   QFile::encodeName(m_home.filePath(u"Projects"_s))};
        QCOMPARE(SingleInstance(m_bus.connect(u"second"_s)).handOver(request), QString());
        QTest::qWait(1500);  // the connection has given up by now
        QVERIFY(m_tarnwick.state() == QProcess::Running && panelShown());
        QVERIFY(m_watcher->click(m_watcher->items().first(), menu->at(7).id));
        QVERIFY(m_tarnwick.waitForFinished(10000) &&
                m_tarnwick.exitStatus() == QProcess::NormalExit);
        QVERIFY(m_tarnwick.exitCode() == 0 && !someoneHoldsTheShortcut());
    }
};

TARNWICK_TEST(SingleInstanceTest)
TARNWICK_TEST(AppEndToEndTest)
#include "InstanceTest.moc"
