#include "platform/CapsLock.h"
#include "platform/DisplayServer.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using namespace tarnwick;
using namespace Qt::Literals::StringLiterals;

// What the session and Qt's platform plug-in decide: the display server the desktop services
// talk to, and whether a key event's native modifiers tell Caps Lock (on xcb: the panel's tests
// on a real X server).
class PlatformNameTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void displayServer_data() {
        QTest::addColumn<QString>("sessionType");
        QTest::addColumn<QString>("waylandSocket");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<int>("server");
        const int x11 = int(DisplayServer::x11), wayland = int(DisplayServer::wayland);
        QTest::newRow("x11 session") << u"x11"_s << QString() << u"xcb"_s << x11;
        QTest::newRow("no session type") << QString() << QString() << u"xcb"_s << x11;
        // XWayland: Qt talks X11, but the root sees no native Wayland client.
        QTest::newRow("xwayland by type") << u"Wayland"_s << QString() << u"xcb"_s << wayland;
        QTest::newRow("xwayland by socket") << u"x11"_s << u"wayland-0"_s << u"xcb"_s << wayland;
        QTest::newRow("wayland-egl") << QString() << u"wayland-1"_s << u"wayland-egl"_s << wayland;
        // Offscreen has no X connection even inside an X11 session.
        QTest::newRow("offscreen")
            << u"x11"_s << QString() << u"offscreen"_s << int(DisplayServer::none);
    }
    void displayServer() {
        QFETCH(QString, sessionType);
        QFETCH(QString, waylandSocket);
        QFETCH(QString, platform);
        QFETCH(int, server);
        QCOMPARE(int(displayServerFor(sessionType, waylandSocket, platform)), server);
    }

    void capsLock() {
        QVERIFY(capsLockInNativeModifiers(0x12, u"wayland-egl"_s));  // Lock, with Num Lock
        QVERIFY(!capsLockInNativeModifiers(0x11, u"wayland"_s));     // Shift, Num Lock
        QVERIFY(!capsLockInNativeModifiers(0x2, u"offscreen"_s));    // no modifier state there
    }
};

TARNWICK_TEST(PlatformNameTest)
#include "PlatformNameTest.moc"
