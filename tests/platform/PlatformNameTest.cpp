#include "platform/CapsLock.h"
#include "platform/DisplayServer.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using namespace tarnwick;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(tarnwick::DisplayServer)

// What the session and Qt's platform plug-in decide: the display server the desktop services
// talk to, and whether a key event's native modifiers tell Caps Lock.
class PlatformNameTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void displayServer_data() {
        QTest::addColumn<QString>("sessionType");
        QTest::addColumn<QString>("waylandDisplay");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<DisplayServer>("expected");
        QTest::newRow("x11 session") << u"x11"_s << QString() << u"xcb"_s << DisplayServer::x11;
        QTest::newRow("no session type")
            << QString() << QString() << u"xcb"_s << DisplayServer::x11;
        // XWayland: Qt talks X11, but the root sees no native Wayland client.
        QTest::newRow("xwayland by type")
            << u"Wayland"_s << QString() << u"xcb"_s << DisplayServer::wayland;
        QTest::newRow("xwayland by socket")
            << u"x11"_s << u"wayland-0"_s << u"xcb"_s << DisplayServer::wayland;
        QTest::newRow("wayland-egl plug-in")
            << QString() << u"wayland-1"_s << u"wayland-egl"_s << DisplayServer::wayland;
        // Offscreen has no X connection even inside an X11 session.
        QTest::newRow("offscreen")
            << u"x11"_s << QString() << u"offscreen"_s << DisplayServer::none;
    }
    void displayServer() {
        QFETCH(QString, sessionType);
        QFETCH(QString, waylandDisplay);
        QFETCH(QString, platform);
        QFETCH(DisplayServer, expected);
        QCOMPARE(displayServerFor(sessionType, waylandDisplay, platform), expected);
    }

    // On xcb the lock keys are covered by the panel's tests on a real X server.
    void capsLock_data() {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<quint32>("state");
        QTest::addColumn<bool>("on");
        QTest::newRow("xcb shift and num lock") << u"xcb"_s << 0x11u << false;
        QTest::newRow("wayland lock") << u"wayland"_s << 0x2u << true;
        QTest::newRow("wayland-egl lock with num lock") << u"wayland-egl"_s << 0x12u << true;
        QTest::newRow("offscreen says nothing") << u"offscreen"_s << 0x2u << false;
    }
    void capsLock() {
        QFETCH(QString, platform);
        QFETCH(quint32, state);
        QFETCH(bool, on);
        QCOMPARE(capsLockInNativeModifiers(state, platform), on);
    }
};

TARNWICK_TEST(PlatformNameTest)
#include "PlatformNameTest.moc"
