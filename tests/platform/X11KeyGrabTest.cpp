#include "platform/x11/X11KeyGrab.h"
#include "tests/support/TestRunner.h"
#include "tests/support/gui/XServer.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

// Ctrl+Shift+`keysym`, or Alt+Super+`keysym`.
ShortcutKey shortcut(quint32 keysym = 0x20, bool altSuper = false) {
    ShortcutKey key;
    key.keysym = keysym;
    key.control = key.shift = !altSuper;
    key.alt = key.super = altSuper;
    return key;
}

}  // namespace

// The key grab on a private Xvfb: presses arrive whatever the lock keys, a key another client
// holds is refused with the server's error, and a grab given back is free again.
class X11KeyGrabTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        if (!xserver::available()) QSKIP("needs an X server (run through run-with-xvfb)");
    }

    void onlyOurCombinationArrives_data() {
        QTest::addColumn<QString>("lock");
        QTest::addColumn<QStringList>("typed");  // ours last
        QTest::newRow("ours after others")
            << QString() << QStringList{"space", "ctrl+space", "ctrl+shift+space"};
        QTest::newRow("with caps lock") << "Caps_Lock" << QStringList{"ctrl+shift+space"};
        QTest::newRow("with num lock") << "Num_Lock" << QStringList{"ctrl+shift+space"};
        QTest::newRow("alt and super from the modifier map")
            << QString() << QStringList{"alt+super+Return"};
    }
    void onlyOurCombinationArrives() {
        QFETCH(QString, lock);
        QFETCH(QStringList, typed);
        const bool altSuper = typed.last() == QLatin1String("alt+super+Return");
        const ShortcutKey key = altSuper ? shortcut(0xff0d, true) : shortcut();
        X11KeyGrab grab;
        QSignalSpy pressed(&grab, &GlobalShortcut::pressed);
        QSignalSpy failed(&grab, &GlobalShortcut::registrationFailed);
        grab.registerKey(key);
        QVERIFY(grab.isGrabbed());
        QCOMPARE(failed.size(), 0);
        if (!lock.isEmpty()) QVERIFY(xserver::keys({lock}));
        QVERIFY(xserver::keys(typed));
        const bool arrived = pressed.wait(5000);
        if (!lock.isEmpty()) QVERIFY(xserver::keys({lock}));  // off again, for the other cases
        QVERIFY(arrived);
        xserver::settle();
        QCOMPARE(pressed.size(), 1);
    }

    void heldKeyCountsOnce() {
        X11KeyGrab grab;
        QSignalSpy pressed(&grab, &GlobalShortcut::pressed);
        grab.registerKey(shortcut());
        QVERIFY(xserver::xdotool({QStringLiteral("keydown"), QStringLiteral("ctrl+shift+space")}));
        QTest::qWait(1000);  // past the server's auto-repeat delay of 660 ms
        QVERIFY(xserver::xdotool({QStringLiteral("keyup"), QStringLiteral("ctrl+shift+space")}));
        xserver::settle();
        QCOMPARE(pressed.size(), 1);
    }

    void keyHeldByAnotherClientIsRefusedUntilGivenBack() {
        X11KeyGrab first, second;
        first.registerKey(shortcut());
        QVERIFY(first.isGrabbed());
        QSignalSpy failed(&second, &GlobalShortcut::registrationFailed);
        second.registerKey(shortcut());
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed[0][0].toInt(), 10);  // BadAccess
        QVERIFY(!second.isGrabbed());
        first.unregisterKey();
        second.registerKey(shortcut());
        QCOMPARE(failed.size(), 1);
        QVERIFY(second.isGrabbed());
    }

    void keyNotOnTheKeyboardIsRefused() {
        X11KeyGrab grab;
        QSignalSpy failed(&grab, &GlobalShortcut::registrationFailed);
        grab.registerKey(shortcut(0x0100263a));  // U+263A as a keysym: on no keyboard layout
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed[0][0].toInt(), X11KeyGrab::kKeyNotOnKeyboard);
    }
};

TARNWICK_TEST(X11KeyGrabTest)
#include "X11KeyGrabTest.moc"
