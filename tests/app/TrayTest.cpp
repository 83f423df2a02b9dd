#include "app/AppDelegate.h"
#include "app/HotKeyManager.h"
#include "app/HotKeyText.h"
#include "app/SingleInstance.h"
#include "app/TrayMenu.h"
#include "app/TrayMenuIcon.h"
#include "core/FileUri.h"
#include "panel/SearchPanel.h"
#include "platform/FrontFolderSource.h"
#include "platform/GlobalShortcut.h"
#include "platform/x11/X11KeyGrab.h"
#include "tests/support/TestRunner.h"
#include "tests/support/desktop/FakeBusService.h"
#include "tests/support/desktop/PrivateSessionBus.h"
#include "tests/support/desktop/StatusNotifierWatcherDouble.h"
#include "tests/support/gui/XServer.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPalette>
#include <QPointer>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <deque>

#include <sys/stat.h>

using namespace tarnwick;
using namespace tarnwick::test;
using namespace Qt::StringLiterals;

namespace {
// Whether the binary under test looks for updates itself (a direct-download build).
constexpr bool kBuiltWithUpdateFeed = TARNWICK_HAS_UPDATE_FEED;
// A shortcut service that records what it is asked and reports what the test says.
class ScriptedShortcut : public GlobalShortcut {
public:
    void registerKey(const ShortcutKey& key) override {
        registered.append(key);
        if (!answersLater) Q_EMIT bound(QString());
    }
    void unregisterKey() override {}
    void press() { Q_EMIT pressed(); }
    void refuse(int status) { Q_EMIT registrationFailed(status); }
    void notOffered() { Q_EMIT unavailable(u"no service"_s); }
    void bind(const QString& trigger) { Q_EMIT bound(trigger); }
    QList<ShortcutKey> registered;
    static inline bool answersLater = false;  // as a portal does; an X11 grab answers at once
};
// A front folder that answers what the test queued ("": none), at once or when released.
class ScriptedFrontFolder : public FrontFolderSource {
public:
    void requestFrontFolder(Callback done) override {
        ++questions;
        held.push_back(std::move(done));
        if (!holdAnswers) release();
    }
    void release() {
        Callback done = std::move(held.front());
        const QByteArray folder = answers.front();
        held.pop_front(), answers.pop_front();
        done(folder.isEmpty() ? std::nullopt : std::optional(folder));
    }
    std::deque<QByteArray> answers;
    std::deque<Callback> held;
    bool holdAnswers = false;
    int questions = 0;
};
const QByteArray kFolder = "/srv/projects", kOther = "/srv/other";
// Whether another client holds Ctrl+Shift+Space: our own grab is then refused.
bool someoneHoldsTheShortcut() {
    X11KeyGrab probe;
    QSignalSpy failed(&probe, &GlobalShortcut::registrationFailed);
    probe.registerKey({0x20, u"space"_s, true, false, true, false, {}});
    return !failed.isEmpty();
}
}  // namespace

// The stored shortcut read, shown and made a key; registered with a backend, reported per press.
class HotKeyTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;
    QList<QPointer<ScriptedShortcut>> m_made;
    HotKeyManager::BackendFactory backends() {
        return [this] {
            return std::unique_ptr<GlobalShortcut>(m_made.emplace_back(new ScriptedShortcut));
        };
    }
    static void store(const QVariant& code, const QVariant& modifiers) {
        QSettings settings(u"Tarnwick"_s, u"Tarnwick"_s);
        settings.clear();
        if (code.isValid()) settings.setValue(u"hotKeyCode"_s, code);
        if (modifiers.isValid()) settings.setValue(u"hotKeyModifiers"_s, modifiers);
    }
private Q_SLOTS:
    void init() { qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8()), store({}, {}); }
    void storedKeyReadAndShown() {  // 0x0100 command, 0x0200 shift, 0x0400 caps lock, 0x0800 option
        const std::tuple<quint32, quint32, const char*> shown[] = {
            {12, 0x1100, "Ctrl+Super+Key 12"},
            {48, 0x0200, "Shift+Tab"},
            {49, 0x1b00, "Ctrl+Alt+Shift+Super+Space"},
            {49, 0x1400, "Ctrl+Space"},
            {0x7a, 0x0400, "Key 122"}};
        for (const auto& [code, modifiers, text] : shown)
            QCOMPARE(hotKeyDisplayText({code, modifiers}), QString::fromLatin1(text));
        QCOMPARE(hotKeyFromStored({}, {}), (StoredHotKey{49, 0x1200}));
        QCOMPARE(hotKeyFromStored(0, 0), (StoredHotKey{49, 0x1200}));
        QCOMPARE(hotKeyFromStored(36, 0x0900), (StoredHotKey{36, 0x0900}));
        // A negative number is what a signed reader made of the unsigned value.
        QCOMPARE(hotKeyFromStored(-1, -4096), (StoredHotKey{0xFFFFFFFFu, 0xFFFFF000u}));
        store(36, 0x0900);  // read anew each time; outside 32 bits, or not a number: as if absent
        QCOMPARE(readStoredHotKey(), (StoredHotKey{36, 0x0900}));
        store(Q_INT64_C(0x100000031), u"control"_s);
        QCOMPARE(readStoredHotKey(), StoredHotKey{});
        const ShortcutKey a{
            .keysymName = u"space"_s, .control = true, .shift = true, .description = {}},
            b{.keysymName = u"Return"_s, .alt = true, .super = true, .description = {}};
        QCOMPARE((QStringList{portalTrigger(a), gnomeAccelerator(a), portalTrigger(b),
                              gnomeAccelerator(b)}),
                 (QStringList{"CTRL+SHIFT+space", "<Control><Shift>space", "ALT+LOGO+Return",
                              "<Alt><Super>Return"}));
    }
    // One key of a US layout per code, no keysym or name twice; none for keys a PC lacks.
    void keyCodesMapToOneKeyEach() {
        QSet<quint32> keysyms;
        QSet<QByteArray> names;
        QList<quint32> unmapped;
        for (quint32 code = 0; code < 0x80; ++code)
            if (const std::optional<KeySymbol> symbol = keySymbolForKeyCode(code))
                keysyms.insert(symbol->keysym), names.insert(symbol->name);
            else
                unmapped << code;
        QVERIFY(keysyms.size() + unmapped.size() == 0x80 && names.size() + unmapped.size() == 0x80);
        QCOMPARE(unmapped,
                 (QList<quint32>{0x0a, 0x34, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x3b, 0x3c, 0x3d,
                                 0x3e, 0x3f, 0x42, 0x44, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x4d,
                                 0x5d, 0x5e, 0x5f, 0x66, 0x68, 0x6c, 0x6e, 0x70, 0x7f}));
        QVERIFY(!keySymbolForKeyCode(0xFFFFFFFF));
    }
    void registersTheStoredKeyOrNothing() {
        HotKeyManager defaults(backends());
        defaults.registerHotKey();
        ShortcutKey key = m_made.at(0)->registered.value(0);
        QVERIFY(key.keysym == 0x20 && key.control && key.shift && !key.alt && !key.super);
        store(36, 0x0900);
        HotKeyManager manager(backends());
        int presses = 0;
        manager.onHotKey = [&presses] { ++presses; };
        manager.registerHotKey();
        key = m_made.at(1)->registered.value(0);
        QVERIFY(key.keysym == 0xff0d && key.keysymName == "Return"_L1 && key.alt && key.super &&
                !key.control && !key.shift && manager.isRegistered());
        QCOMPARE(manager.displayText(), u"Alt+Super+Return"_s);
        // Registering again gives the first registration back; each press calls back once.
        manager.registerHotKey();
        QVERIFY(!m_made[1] && m_made.size() == 3);
        m_made[2]->press(), m_made[2]->press();
        QCOMPARE(presses, 2);
        manager.onHotKey = nullptr;
        m_made[2]->press();
        manager.unregisterHotKey();
        QVERIFY(!m_made[2] && !manager.isRegistered());
        manager.unregisterHotKey();  // harmless twice
        store(0x0a, 0x1200);         // a code no key stands for: nothing is grabbed
        HotKeyManager unmappable(backends());
        unmappable.registerHotKey();
        QVERIFY(m_made.size() == 3 && !unmappable.isRegistered());
        QCOMPARE(unmappable.displayText(), u"Ctrl+Shift+Key 10"_s);
        store({}, {});
        manager.registerHotKey();  // refused, or no service: nothing registered
        m_made[3]->refuse(10);
        QVERIFY(!manager.isRegistered());
        manager.registerHotKey();
        QVERIFY(manager.isRegistered());
        m_made[4]->notOffered();
        QVERIFY(!manager.isRegistered());
        // Claimed only once bound, by the desktop's name for the key (the user's choice there).
        ScriptedShortcut::answersLater = true;
        manager.registerHotKey();
        QSignalSpy changed(&manager, &HotKeyManager::stateChanged);
        QVERIFY(!manager.isRegistered() && manager.shortcutProblem().isEmpty());
        QCOMPARE(manager.trayLine(), u"Shortcut: waiting for the desktop\u2026"_s);
        m_made[5]->bind(u"Meta+Space"_s);
        QCOMPARE(manager.trayLine(), u"Shortcut: Meta+Space"_s);
        manager.registerHotKey();
        m_made[6]->refuse(3);
        ScriptedShortcut::answersLater = false;
        QVERIFY(manager.shortcutProblem().contains(u"did not bind Ctrl+Shift+Space"_s));
        QCOMPARE(manager.trayLine(), u"Shortcut: none (see Settings)"_s);
        QCOMPARE(changed.size(), 3);  // bound, asked again, refused
        HotKeyManager none([] { return std::unique_ptr<GlobalShortcut>(); });
        none.registerHotKey();
        QVERIFY(!none.isRegistered());
    }
};

// What each tray menu item does (titles and keys are checked end to end); the icon for the theme.
class TrayMenuTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void itemsAndIcon() {
        QStringList done;
        auto menu = buildTrayMenu(u"x"_s, {[&] { done << "search"; }, [&] { done << "settings"; },
                                           [&] { done << "updates"; }, [&] { done << "quit"; }});
        for (QAction* action : menu->actions()) action->trigger();
        QCOMPARE(done, (QStringList{"search", "settings", "updates", "quit"}));
        // A build whose updates come from the package manager offers no update check.
        auto packaged = buildTrayMenu(u"x"_s, {[] {}, [] {}, nullptr, [] {}});
        QCOMPARE(packaged->actions().size(), menu->actions().size() - 1);
        for (QAction* action : packaged->actions()) QVERIFY(!action->text().contains("Update"_L1));
        const QPalette light(Qt::gray, QColor(246, 245, 244)), dark(Qt::gray, QColor(36, 36, 36));
        QVERIFY(!themeIsDark(light) && themeIsDark(dark));
        TrayMenuIcon icon(buildTrayMenu(QString(), {}));  // registers the resources
        QApplication::setPalette(dark);
        QTRY_COMPARE(icon.iconResource(), u":/tray/magnifier-light.svg"_s);
        QApplication::setPalette(light);
        QTRY_COMPARE(icon.iconResource(), u":/tray/magnifier-dark.svg"_s);
    }
};

// No folder beeps; a visible panel is closed; otherwise a new panel opens, never an old one. The
// panel it opens was prepared while the question was out, or after the last one closed.
class ActivationFlowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void opensClosesAndReplacesPanels() {
        auto owned = std::make_unique<ScriptedFrontFolder>();
        ScriptedFrontFolder* const source = owned.get();
        int beeps = 0;
        QList<QByteArray> panelFolders;
        int prepared = 0;
        AppDelegate::Dependencies deps;
        deps.frontFolder = std::move(owned);
        deps.beep = [&] { ++beeps; };
        deps.preparePanel = [&] {
            ++prepared;
            SearchSession::Dependencies listing;  // made up, so that nothing is read from disk
            listing.lister = [](const QByteArray& folder, const ListingOptions&) {
                return QList<FileItem>{FileItem::fromPath(folder + "/a.txt", folder, false, 1, 1)};
            };
            return std::make_unique<SearchPanel>(listing, DesktopServices::forThisDesktop());
        };
        auto delegate = std::make_unique<AppDelegate>(std::move(deps));
        QList<QPointer<SearchPanel>> opened;  // a dead panel's pointer is null: no false match
        auto noteOpened = [&] {
            SearchPanel* panel = delegate->searchPanel();
            if (!panel || !panel->isOpen() || opened.contains(panel)) return;
            opened.append(panel);
            panelFolders.append(panel->session().scope().rootDirectory());
        };
        auto activate = [&](const QByteArray& folder) {
            source->answers.push_back(folder);
            delegate->activateSearch();
            noteOpened();
        };
        auto showsPanelOn = [&](const QByteArray& folder) {
            SearchPanel* panel = delegate->searchPanel();
            return panel && panel->isVisible() &&
                   panel->session().scope().rootDirectory() == folder;
        };
        activate("");
        QVERIFY(beeps == 1 && !delegate->searchPanel());
        activate(kFolder);
        QVERIFY(showsPanelOn(kFolder));
        QPointer<SearchPanel> first = delegate->searchPanel();
        activate("");  // closing also needs a folder
        QVERIFY(beeps == 2 && showsPanelOn(kFolder));
        activate(kFolder);
        QVERIFY(!delegate->searchPanel() && (first.isNull() || !first->isVisible()));
        QTRY_VERIFY(first.isNull());  // released, not kept
        activate(kFolder);            // a new panel each time
        first = delegate->searchPanel();
        first->close();  // Escape, or a click elsewhere: still held, hidden
        QCOMPARE(delegate->searchPanel(), first.data());
        activate(kOther);
        QVERIFY(showsPanelOn(kOther));
        QTRY_VERIFY(first.isNull());
        // A named folder replaces the visible panel without asking for the front folder.
        const int questions = source->questions;
        first = delegate->searchPanel();
        delegate->openFolder(kFolder);
        noteOpened();
        QTRY_VERIFY(first.isNull());
        QVERIFY(showsPanelOn(kFolder) && source->questions == questions && beeps == 2);
        QCOMPARE(panelFolders, (QList<QByteArray>{kFolder, kFolder, kOther, kFolder}));
        source->holdAnswers = true;  // activations while asking are answered in turn
        activate(kFolder), activate(kFolder);
        QCOMPARE(source->questions, questions + 1);  // one question out at a time
        source->release();
        QVERIFY(!delegate->searchPanel() && source->questions == questions + 2);
        // While the file manager answers, the next panel is ready, hidden and on no folder.
        QTRY_VERIFY(delegate->preparedPanel());
        QPointer<SearchPanel> ready = delegate->preparedPanel();
        QVERIFY(!ready->isVisible() && !ready->isOpen());
        const int preparedBefore = prepared;
        source->release();
        noteOpened();
        QVERIFY(showsPanelOn(kFolder) && panelFolders.size() == 5);
        QVERIFY(delegate->searchPanel() == ready && prepared == preparedBefore);
        // No folder keeps the prepared panel for the next time.
        delegate->searchPanel()->close();
        QTRY_VERIFY(delegate->preparedPanel());
        ready = delegate->preparedPanel();
        activate(""), source->release();
        QVERIFY(delegate->preparedPanel() == ready && prepared == preparedBefore + 1);
        // The source goes with the delegate; what it held must not call into a dead object.
        activate(kFolder);
        FrontFolderSource::Callback held = std::move(source->held.front());
        const int preparedAtEnd = prepared;
        delegate.reset();
        held(kFolder);
        QCOMPARE(prepared, preparedAtEnd);
    }
};

// This process holds the instance name; the real binary, started again, hands its command over.
class SingleInstanceTest : public QObject {
    Q_OBJECT
    PrivateSessionBus m_bus;
    QTemporaryDir m_home;
    int m_serial = 0;
    // Runs tarnwick in the event loop, to answer its hand-over; printf rebuilds each byte.
    int start(const QList<QByteArray>& arguments, const QString& workingFolder = {},
              const QList<std::pair<QString, QString>>& variables = {}) {
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
        env.remove(u"XDG_ACTIVATION_TOKEN"_s), env.remove(u"DESKTOP_STARTUP_ID"_s);
        for (const auto& [name, value] : variables) env.insert(name, value);
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
        auto one = std::make_unique<SingleInstance>(m_bus.connect(u"primary%1"_s.arg(++m_serial)));
        return one->claim() == SingleInstance::Claim::primary ? std::move(one) : nullptr;
    }
private Q_SLOTS:
    void commandLinesAreHandedOver() {
        QString error;
        QVERIFY2(m_bus.start(&error) && m_home.isValid(), qPrintable(error));
        auto first = primary(), instance = primary();  // the second claim finds the first
        QVERIFY(first && !instance);
        first.reset();
        QTRY_VERIFY(instance = primary());
        QSignalSpy folders(instance.get(), &SingleInstance::folderRequested),
            searches(instance.get(), &SingleInstance::searchRequested),
            plain(instance.get(), &SingleInstance::activateRequested),
            settings(instance.get(), &SingleInstance::settingsRequested);
        // Byte for byte, and a relative folder resolved where the command ran.
        const QByteArray folder = QFile::encodeName(m_home.path()) + "/caf\xe9 \xff folder";
        QVERIFY(mkdir(folder.constData(), 0700) == 0 && start({folder}) == 0);
        QVERIFY(QDir(m_home.path()).mkpath(u"here/sub"_s));
        QCOMPARE(start({"sub/../sub"}, m_home.filePath(u"here"_s)), 0);
        QVERIFY(folders.size() == 2 && folders[0][0].toByteArray() == folder);
        QCOMPARE(folders[1][0].toByteArray(),
                 QFile::encodeName(QDir(m_home.filePath(u"here/sub"_s)).canonicalPath()));
        QVERIFY(start({"--activate"}) == 0 && start({}) == 0 && start({"--settings"}) == 0);
        QVERIFY(searches.size() == 1 && plain.size() == 1 && settings.size() == 1);
        // The desktop's activation token travels with the request and arrives ahead of it.
        QStringList order;
        connect(instance.get(), &SingleInstance::activationTokenGiven, this,
                [&](const QString& token) { order.append(token); });
        connect(instance.get(), &SingleInstance::searchRequested, this,
                [&] { order.append(u"search"_s); });
        connect(instance.get(), &SingleInstance::folderRequested, this,
                [&] { order.append(u"folder"_s); });
        QCOMPARE(start({"--activate"}, {}, {{u"XDG_ACTIVATION_TOKEN"_s, u"wl-7"_s}}), 0);
        QCOMPARE(start({folder}, {}, {{u"DESKTOP_STARTUP_ID"_s, u"x_TIME42"_s}}), 0);
        QCOMPARE(start({"--activate"}), 0);
        QCOMPARE(order,
                 (QStringList{u"wl-7"_s, u"search"_s, u"x_TIME42"_s, u"folder"_s, u"search"_s}));
        // Bad command lines never reach the instance.
        const std::pair<QList<QByteArray>, int> bad[] = {{{"/nonexistent/folder"}, 1},
                                                         {{TARNWICK_EXECUTABLE}, 1},
                                                         {{"--activate", "/tmp"}, 2},
                                                         {{"a", "b"}, 2},
                                                         {{"--settings", "--activate"}, 2}};
        for (const auto& [arguments, exitCode] : bad) QCOMPARE(start(arguments), exitCode);
        QCOMPARE(folders.size() + searches.size() + plain.size() + settings.size(), 8);
    }
};

// The real binary under a window manager: Nautilus in front, a tray watcher, a silent index.
class AppEndToEndTest : public QObject {
    Q_OBJECT
    PrivateSessionBus m_bus;
    QTemporaryDir m_home;
    QProcess m_tarnwick;
    bool panelShown() { return !xserver::windowsOf(m_tarnwick.processId()).isEmpty(); }
private Q_SLOTS:
    void cleanupTestCase() {
        if (m_tarnwick.state() != QProcess::NotRunning) m_tarnwick.terminate();
        m_tarnwick.waitForFinished(10000);
    }
    // The shortcut opens the panel; a folder handed over while that panel still connects to
    // the index (about a second) shows a new one; the menu's entries, in the desktop's language
    // (German: Qt's own translations name the keys), work and Quit frees the key.
    void shortcutHandOverAndMenu() {
        QString error;
        QVERIFY2(m_bus.start(&error) && m_home.isValid(), qPrintable(error));
        const QByteArray folder = QFile::encodeName(m_home.filePath(u"Projects"_s));
        QVERIFY(QDir().mkpath(QFile::decodeName(folder)));
        StatusNotifierWatcherDouble watcher(m_bus.connect(u"watcher"_s));
        FakeBusService tracker(m_bus.connect(u"tracker"_s)), nautilus(m_bus.connect(u"nautilus"_s));
        QVERIFY(watcher.serve());
        tracker.onCall("/org/freedesktop/Tracker3/Endpoint", "org.freedesktop.Tracker3.Endpoint",
                       "Query", [](const QDBusMessage&) { return FakeBusService::silence(); });
        QVERIFY(tracker.serve(u"org.freedesktop.Tracker3.Miner.Files"_s) &&
                nautilus.serve(u"org.freedesktop.FileManager1"_s));
        const QString windowPath = u"/org/gnome/Nautilus/window/1"_s;
        nautilus.setProperty(u"/org/freedesktop/FileManager1"_s, u"org.freedesktop.FileManager1"_s,
                             u"OpenWindowsWithLocations"_s,
                             QVariant::fromValue(QMap<QString, QStringList>{
                                 {windowPath, {fileUriFromPath(folder)}}}));
        QWidget nautilusWindow;  // with the properties by which a Nautilus window is known
        nautilusWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&nautilusWindow, 20000));  // a loaded machine
        QWindow& window = *nautilusWindow.windowHandle();
        QVERIFY(xserver::setTextProperty(window, u"_GTK_WINDOW_OBJECT_PATH"_s, windowPath) &&
                xserver::setTextProperty(window, u"_GTK_UNIQUE_BUS_NAME"_s, nautilus.uniqueName()));
        QVERIFY2(!someoneHoldsTheShortcut(), "the shortcut is taken before tarnwick starts");
        QProcessEnvironment env = m_bus.environmentFor(QProcessEnvironment::systemEnvironment());
        env.insert(u"HOME"_s, m_home.path());
        env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        for (const QString& name : {u"LC_ALL"_s, u"LC_MESSAGES"_s}) env.remove(name);
        env.insert(u"LANG"_s, u"C.UTF-8"_s), env.insert(u"LANGUAGE"_s, u"de"_s);
        m_tarnwick.setProcessEnvironment(env);
        m_tarnwick.start(QStringLiteral(TARNWICK_EXECUTABLE), QStringList());
        QVERIFY(m_tarnwick.waitForStarted(10000));
        QTRY_COMPARE_WITH_TIMEOUT(watcher.items().size(), 1, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(someoneHoldsTheShortcut(), 20000);
        const auto menu = watcher.menuOf(watcher.items().first());
        QVERIFY(menu);
        QStringList labels;
        for (const DbusMenuEntry& entry : *menu)
            labels << (entry.isSeparator() ? u"---"_s : entry.label() + u' ' + entry.shortcut())
                          .trimmed();
        QStringList expected{"Dateiverwaltungsfenster durchsuchen",
                             "---",
                             "Tastenkürzel: Strg+Umschalt+Leertaste",
                             "---",
                             "Einstellungen … Control+,",
                             "---",
                             "Tarnwick beenden Control+Q"};
        if (kBuiltWithUpdateFeed) expected.insert(5, u"Nach Aktualisierungen suchen …"_s);
        QCOMPARE(labels, expected);
        QVERIFY(menu->at(0).isEnabled() && !menu->at(2).isEnabled() && menu->at(4).isEnabled());
        QVERIFY(!panelShown() && xserver::keys({u"ctrl+shift+space"_s}));
        QTRY_VERIFY_WITH_TIMEOUT(panelShown(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(tracker.callCount(u"Query"_s) > 0, 20000);
        const StartRequest request{StartRequest::Kind::openFolder, folder, {}};
        QCOMPARE(SingleInstance(m_bus.connect(u"second"_s)).handOver(request), QString());
        QTest::qWait(1500);  // the connection has given up by now
        QVERIFY(m_tarnwick.state() == QProcess::Running && panelShown());
        QVERIFY(watcher.click(watcher.items().first(), menu->last().id));
        QVERIFY(m_tarnwick.waitForFinished(10000) && m_tarnwick.exitCode() == 0);
        QVERIFY(m_tarnwick.exitStatus() == QProcess::NormalExit && !someoneHoldsTheShortcut());
    }
};

TARNWICK_TEST(HotKeyTest)
TARNWICK_TEST(TrayMenuTest)
TARNWICK_TEST(ActivationFlowTest)
TARNWICK_TEST(SingleInstanceTest)
TARNWICK_TEST(AppEndToEndTest)
#include "TrayTest.moc"
