#include "app/AppDelegate.h"
#include "app/HotKeyManager.h"
#include "app/HotKeyText.h"
#include "app/TrayMenu.h"
#include "app/TrayMenuIcon.h"
#include "panel/SearchPanel.h"
#include "platform/FrontFolderSource.h"
#include "platform/GlobalShortcut.h"
#include "tests/support/TestRunner.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QPalette>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <deque>

using namespace tarnwick;
using namespace Qt::StringLiterals;

namespace {

// A shortcut service that records what it is asked and reports what the test says.
class ScriptedShortcut : public GlobalShortcut {
public:
    void registerKey(const ShortcutKey& key) override { registered.append(key); }
    void unregisterKey() override {}
    void press() { Q_EMIT pressed(); }
    void refuse(int status) { Q_EMIT registrationFailed(status); }
    void notOffered() { Q_EMIT unavailable(u"no service"_s); }
    QList<ShortcutKey> registered;
};

}  // namespace

// The stored shortcut as read, shown and made an X key; the hot key registered with whatever
// backend the desktop has and reported once per press.
class HotKeyTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;
    QList<QPointer<ScriptedShortcut>> m_made;
    HotKeyManager::BackendFactory backends() {
        return [this] {
            auto shortcut = std::make_unique<ScriptedShortcut>();
            m_made.append(shortcut.get());
            return shortcut;
        };
    }
    static void store(const QVariant& code, const QVariant& modifiers) {
        QSettings settings(u"Tarnwick"_s, u"Tarnwick"_s);
        settings.clear();
        if (code.isValid()) settings.setValue(u"hotKeyCode"_s, code);
        if (modifiers.isValid()) settings.setValue(u"hotKeyModifiers"_s, modifiers);
    }

private Q_SLOTS:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8()); }
    void init() { store({}, {}); }
    void storedKeyReadAndShown() {  // 0x0100 command, 0x0200 shift, 0x0400 caps lock, 0x0800 option
        const std::tuple<quint32, quint32, const char*> shown[] = {
            {49, 0x1200, "Ctrl+Shift+Space"},
            {36, 0x0900, "Alt+Super+Return"},
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
    // One key of a US layout per code; none for keys a PC lacks or whose place varies.
    void keyCodesMapToOneKeyEach() {
        QSet<quint32> keysyms;
        QSet<QByteArray> names;
        QList<quint32> unmapped;
        for (quint32 code = 0; code < 0x80; ++code) {
            if (const std::optional<KeySymbol> symbol = keySymbolForKeyCode(code))
                keysyms.insert(symbol->keysym), names.insert(symbol->name);
            else
                unmapped << code;
        }
        // No keysym or name twice.
        QVERIFY(keysyms.size() + unmapped.size() == 0x80 && names.size() + unmapped.size() == 0x80);
        QCOMPARE(unmapped,
                 (QList<quint32>{0x0a, 0x34, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x3b, 0x3c, 0x3d,
                                 0x3e, 0x3f, 0x42, 0x44, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x4d,
                                 0x5d, 0x5e, 0x5f, 0x66, 0x68, 0x6c, 0x6e, 0x70, 0x7f}));
        QVERIFY(!keySymbolForKeyCode(0xFFFFFFFF));
        QCOMPARE(keySymbolForKeyCode(0x60)->keysym, 0xffc2u);  // F5, out of order
        QCOMPARE(QByteArray(keySymbolForKeyCode(0x75)->name), QByteArray("Delete"));
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
        HotKeyManager none([] { return std::unique_ptr<GlobalShortcut>(); });
        none.registerHotKey();
        QVERIFY(!none.isRegistered());
    }
};

// The tray menu's items and what they do (titles and keys are checked end to end), and the icon
// that suits the theme.
class TrayMenuTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachItemDoesItsOwnThing() {
        QStringList done;
        TrayMenuActions actions;
        actions.search = [&done] { done << "search"; };
        actions.openSettings = [&done] { done << "settings"; };
        actions.checkForUpdates = [&done] { done << "updates"; };
        actions.quit = [&done] { done << "quit"; };
        auto menu = buildTrayMenu(u"x"_s, actions);
        for (QAction* action : menu->actions()) action->trigger();
        QCOMPARE(done, (QStringList{"search", "settings", "updates", "quit"}));
    }
    void iconFollowsTheTheme() {
        const QPalette light(Qt::gray, QColor(246, 245, 244)), dark(Qt::gray, QColor(36, 36, 36));
        QVERIFY(!themeIsDark(light) && themeIsDark(dark));
        TrayMenuIcon icon(buildTrayMenu(QString(), {}));  // registers the resources
        QApplication::setPalette(dark);
        QTRY_COMPARE(icon.iconResource(), u":/tray/magnifier-light.svg"_s);
        QApplication::setPalette(light);
        QTRY_COMPARE(icon.iconResource(), u":/tray/magnifier-dark.svg"_s);
        for (bool isDark : {false, true}) {
            const QImage image = QIcon(trayIconResource(isDark)).pixmap(22, 22).toImage();
            int ink = 0;  // drawn in one colour: light on dark themes, dark on light ones
            for (int i = 0; i < 22 * 22; ++i) {
                const QColor pixel = image.pixelColor(i % 22, i / 22);
                if (pixel.alpha() >= 200 && ++ink) QCOMPARE(pixel.lightness() > 128, isDark);
            }
            QVERIFY(ink > 20);
        }
    }
};

namespace {

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
        held.pop_front();
        const QByteArray folder = answers.front();
        answers.pop_front();
        done(folder.isEmpty() ? std::nullopt : std::optional(folder));
    }
    std::deque<QByteArray> answers;
    std::deque<Callback> held;
    bool holdAnswers = false;
    int questions = 0;
};

const QByteArray kFolder = "/srv/projects";
const QByteArray kOther = "/srv/other";

}  // namespace

// The activation flow: no folder beeps and changes nothing; a visible panel is closed; otherwise
// a new panel opens on the folder, never an old one again.
class ActivationFlowTest : public QObject {
    Q_OBJECT
    ScriptedFrontFolder* m_source = nullptr;
    int m_beeps = 0;
    QList<QByteArray> m_panelFolders;
    std::unique_ptr<AppDelegate> m_delegate;

    void activate(const QByteArray& folder) {
        m_source->answers.push_back(folder);
        m_delegate->activateSearch();
    }
    bool showsPanelOn(const QByteArray& folder) {
        SearchPanel* panel = m_delegate->searchPanel();
        return panel && panel->isVisible() && panel->session().scope().rootDirectory() == folder;
    }

private Q_SLOTS:
    void init() {
        m_beeps = 0, m_panelFolders.clear();
        auto source = std::make_unique<ScriptedFrontFolder>();
        m_source = source.get();
        AppDelegate::Dependencies deps;
        deps.frontFolder = std::move(source);
        deps.beep = [this] { ++m_beeps; };
        deps.makePanel = [this](const QByteArray& folder) {
            m_panelFolders.append(folder);
            SearchSession::Dependencies listing;  // made up, so that nothing is read from disk
            listing.lister = [](const QByteArray& folder, const std::atomic<bool>*) {
                return QList<FileItem>{FileItem::fromPath(folder + "/a.txt", folder, false, 1, 1)};
            };
            return std::make_unique<SearchPanel>(folder, listing);
        };
        m_delegate = std::make_unique<AppDelegate>(std::move(deps));
    }
    void cleanup() { m_delegate.reset(); }
    void opensClosesAndReplacesPanels() {
        activate("");
        QVERIFY(m_beeps == 1 && !m_delegate->searchPanel());
        activate(kFolder);
        QVERIFY(showsPanelOn(kFolder));
        QPointer<SearchPanel> first = m_delegate->searchPanel();
        activate("");  // closing also needs a folder
        QCOMPARE(m_beeps, 2);
        QVERIFY(showsPanelOn(kFolder));
        activate(kFolder);
        QVERIFY(!m_delegate->searchPanel() && (first.isNull() || !first->isVisible()));
        QTRY_VERIFY(first.isNull());  // released, not kept
        activate(kFolder);            // a new panel each time
        first = m_delegate->searchPanel();
        first->close();  // Escape, or a click elsewhere: still held, hidden
        QCOMPARE(m_delegate->searchPanel(), first.data());
        activate(kOther);
        QVERIFY(showsPanelOn(kOther));
        QTRY_VERIFY(first.isNull());
        // A named folder replaces the visible panel without asking for the front folder.
        const int questions = m_source->questions;
        first = m_delegate->searchPanel();
        m_delegate->openFolder(kFolder);
        QVERIFY(showsPanelOn(kFolder));
        QTRY_VERIFY(first.isNull());
        QVERIFY(m_source->questions == questions && m_beeps == 2);
        QCOMPARE(m_panelFolders, (QList<QByteArray>{kFolder, kFolder, kOther, kFolder}));
        m_source->holdAnswers = true;  // activations while asking are answered in turn
        activate(kFolder);
        activate(kFolder);
        QCOMPARE(m_source->questions, questions + 1);  // one question out at a time
        m_source->release();
        QVERIFY(!m_delegate->searchPanel() && m_source->questions == questions + 2);
        m_source->release();
        QVERIFY(showsPanelOn(kFolder) && m_panelFolders.size() == 5);
        // The source goes with the delegate; what it held must not call into a dead object.
        activate(kFolder);
        FrontFolderSource::Callback held = std::move(m_source->held.front());
        m_delegate.reset();
        held(kFolder);
        QCOMPARE(m_panelFolders.size(), 5);
    }
};

TARNWICK_TEST(HotKeyTest)
TARNWICK_TEST(TrayMenuTest)
TARNWICK_TEST(ActivationFlowTest)
#include "TrayTest.moc"
