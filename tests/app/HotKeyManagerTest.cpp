#include "CapturedOutput.h"
#include "app/HotKeyManager.h"
#include "platform/GlobalShortcut.h"
#include "tests/support/TestRunner.h"

#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;
using tarnwick::test::CapturedOutput;

namespace {

// A shortcut service that records what it is asked and reports what the test says.
class ScriptedShortcut : public GlobalShortcut {
public:
    void registerKey(const ShortcutKey& key) override {
        registered.append(key);
        held = true;
    }
    void unregisterKey() override { held = false; }

    void press() { Q_EMIT pressed(); }
    void refuse(int status) { Q_EMIT registrationFailed(status); }
    void notOffered() { Q_EMIT unavailable(QStringLiteral("no service")); }

    QList<ShortcutKey> registered;
    bool held = false;
};

}  // namespace

// The hot key as the application uses it: registered from the stored keys with whatever backend
// the desktop has, reported once per press, and its failures told on standard output.
class HotKeyManagerTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_config;
    QList<QPointer<ScriptedShortcut>> m_made;

    HotKeyManager::BackendFactory backends() {
        return [this] {
            auto shortcut = std::make_unique<ScriptedShortcut>();
            m_made.append(shortcut.get());
            return shortcut;
        };
    }
    void store(const QVariant& code, const QVariant& modifiers) {
        QSettings settings(QStringLiteral("Tarnwick"), QStringLiteral("Tarnwick"));
        settings.clear();
        if (code.isValid()) settings.setValue(QStringLiteral("hotKeyCode"), code);
        if (modifiers.isValid()) settings.setValue(QStringLiteral("hotKeyModifiers"), modifiers);
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
    }
    void init() {
        m_made.clear();
        store({}, {});
    }

    void registersTheStoredKeyWithItsModifiers() {
        store(36, 0x0900);
        HotKeyManager manager(backends());
        manager.registerHotKey();
        QCOMPARE(m_made.size(), 1);
        QCOMPARE(m_made[0]->registered.size(), 1);
        const ShortcutKey key = m_made[0]->registered[0];
        QCOMPARE(key.keysym, 0xff0du);
        QCOMPARE(key.keysymName, QStringLiteral("Return"));
        QVERIFY(key.alt && key.super && !key.control && !key.shift);
        QVERIFY(manager.isRegistered());
        QCOMPARE(manager.displayText(), QStringLiteral("Alt+Super+Return"));
    }

    void nothingStoredIsControlShiftSpace() {
        HotKeyManager manager(backends());
        manager.registerHotKey();
        const ShortcutKey key = m_made[0]->registered[0];
        QCOMPARE(key.keysym, 0x20u);
        QVERIFY(key.control && key.shift && !key.alt && !key.super);
    }

    void eachPressCallsBack() {
        HotKeyManager manager(backends());
        int presses = 0;
        manager.onHotKey = [&presses] { ++presses; };
        manager.registerHotKey();
        m_made[0]->press();
        m_made[0]->press();
        QCOMPARE(presses, 2);
        manager.onHotKey = nullptr;
        m_made[0]->press();  // no callback: nothing happens
        QCOMPARE(presses, 2);
    }

    void registeringAgainKeepsOneRegistration() {
        HotKeyManager manager(backends());
        int presses = 0;
        manager.onHotKey = [&presses] { ++presses; };
        manager.registerHotKey();
        QPointer<ScriptedShortcut> first = m_made[0];
        manager.registerHotKey();
        QCOMPARE(m_made.size(), 2);
        QVERIFY(!first);  // given back and gone
        QVERIFY(m_made[1]->held);
        m_made[1]->press();
        QCOMPARE(presses, 1);
    }

    void unregisteringGivesTheKeyBack() {
        HotKeyManager manager(backends());
        manager.registerHotKey();
        QPointer<ScriptedShortcut> shortcut = m_made[0];
        manager.unregisterHotKey();
        QVERIFY(!shortcut);
        QVERIFY(!manager.isRegistered());
        manager.unregisterHotKey();  // harmless twice
    }

    void unmappableKeyCodeGrabsNothing() {
        store(0x0a, 0x1200);
        CapturedOutput output;
        HotKeyManager manager(backends());
        manager.registerHotKey();
        QVERIFY(m_made.isEmpty());
        QVERIFY(!manager.isRegistered());
        QCOMPARE(output.text(), QByteArray("Failed to register global hot key: -1\n"));
        QCOMPARE(manager.displayText(), QStringLiteral("Ctrl+Shift+Key 10"));
    }

    void refusalIsReportedWithItsStatus() {
        CapturedOutput output;
        HotKeyManager manager(backends());
        manager.registerHotKey();
        m_made[0]->refuse(10);
        QVERIFY(!manager.isRegistered());
        QCOMPARE(output.text(), QByteArray("Failed to register global hot key: 10\n"));
    }

    void missingServiceIsToldOnce() {
        CapturedOutput output;
        HotKeyManager manager(backends());
        manager.registerHotKey();
        m_made[0]->notOffered();
        manager.registerHotKey();
        m_made[1]->notOffered();
        const QByteArray text = output.text();
        QCOMPARE(text.count('\n'), 1);
        QVERIFY(
            text.startsWith("Global hot key unavailable: no service; the tray menu still works"));
        QVERIFY(!manager.isRegistered());
    }

    void noBackendAtAllIsUnavailable() {
        CapturedOutput output;
        HotKeyManager manager([] { return std::unique_ptr<GlobalShortcut>(); });
        manager.registerHotKey();
        QVERIFY(!manager.isRegistered());
        QVERIFY(output.text().startsWith("Global hot key unavailable: "));
    }
};

TARNWICK_TEST(HotKeyManagerTest)
#include "HotKeyManagerTest.moc"
