#include "XdoKeys.h"
#include "platform/x11/X11KeyGrab.h"
#include "tests/support/TestRunner.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

ShortcutKey controlShiftSpace() {
    ShortcutKey key;
    key.keysym = 0x20;
    key.keysymName = QStringLiteral("space");
    key.control = key.shift = true;
    return key;
}

}  // namespace

// The key grab on a real X server (Xvfb): presses arrive whatever the lock keys, a key another
// client holds is refused with the server's error, and a grab given back is free again.
class X11KeyGrabTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pressesArrive() {
        X11KeyGrab grab;
        QSignalSpy pressed(&grab, &GlobalShortcut::pressed);
        QSignalSpy failed(&grab, &GlobalShortcut::registrationFailed);
        grab.registerKey(controlShiftSpace());
        QCOMPARE(failed.size(), 0);
        QVERIFY(grab.isGrabbed());
        QVERIFY(xdoKey(QStringLiteral("ctrl+shift+space")));
        QVERIFY(pressed.wait(5000));
        QVERIFY(xdoKey(QStringLiteral("space")));  // without the modifiers: not ours
        QVERIFY(xdoKey(QStringLiteral("ctrl+space")));
        QTest::qWait(300);
        QCOMPARE(pressed.size(), 1);
    }

    void heldKeyCountsOnce() {
        X11KeyGrab grab;
        QSignalSpy pressed(&grab, &GlobalShortcut::pressed);
        grab.registerKey(controlShiftSpace());
        QVERIFY(xdo({QStringLiteral("keydown"), QStringLiteral("ctrl+shift+space")}));
        QTest::qWait(1500);  // well past the server's auto-repeat delay
        QVERIFY(xdo({QStringLiteral("keyup"), QStringLiteral("ctrl+shift+space")}));
        QTest::qWait(200);
        QCOMPARE(pressed.size(), 1);
    }

    void lockKeysDoNotMatter_data() {
        QTest::addColumn<QString>("lock");
        QTest::newRow("caps lock") << "Caps_Lock";
        QTest::newRow("num lock") << "Num_Lock";
    }
    void lockKeysDoNotMatter() {
        QFETCH(QString, lock);
        X11KeyGrab grab;
        QSignalSpy pressed(&grab, &GlobalShortcut::pressed);
        grab.registerKey(controlShiftSpace());
        QVERIFY(xdoKey(lock));  // on
        QVERIFY(xdoKey(QStringLiteral("ctrl+shift+space")));
        const bool arrived = pressed.wait(5000);
        QVERIFY(xdoKey(lock));  // off again, for the other cases
        QVERIFY(arrived);
    }

    void keyHeldByAnotherClientIsRefused() {
        X11KeyGrab first;
        first.registerKey(controlShiftSpace());
        QVERIFY(first.isGrabbed());
        X11KeyGrab second;
        QSignalSpy failed(&second, &GlobalShortcut::registrationFailed);
        second.registerKey(controlShiftSpace());
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed[0][0].toInt(), 10);  // BadAccess
        QVERIFY(!second.isGrabbed());

        first.unregisterKey();
        second.registerKey(controlShiftSpace());
        QCOMPARE(failed.size(), 1);
        QVERIFY(second.isGrabbed());
    }

    void keyNotOnTheKeyboardIsRefused() {
        X11KeyGrab grab;
        QSignalSpy failed(&grab, &GlobalShortcut::registrationFailed);
        ShortcutKey key = controlShiftSpace();
        key.keysym = 0x0100263a;  // U+263A as a keysym: on no keyboard layout
        grab.registerKey(key);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed[0][0].toInt(), X11KeyGrab::kKeyNotOnKeyboard);
    }

    void altAndSuperComeFromTheModifierMap() {
        X11KeyGrab grab;
        QSignalSpy pressed(&grab, &GlobalShortcut::pressed);
        ShortcutKey key;
        key.keysym = 0xff0d;  // Return
        key.alt = key.super = true;
        grab.registerKey(key);
        QVERIFY(grab.isGrabbed());
        QVERIFY(xdoKey(QStringLiteral("alt+super+Return")));
        QVERIFY(pressed.wait(5000));
    }
};

TARNWICK_TEST(X11KeyGrabTest)
#include "X11KeyGrabTest.moc"
