#include "platform/DisplayServer.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using tarnwick::DisplayServer;
using tarnwick::displayServerFor;

Q_DECLARE_METATYPE(tarnwick::DisplayServer)

class DisplayServerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decides_data() {
        QTest::addColumn<QString>("sessionType");
        QTest::addColumn<QString>("waylandDisplay");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<DisplayServer>("expected");
        QTest::newRow("x11 session") << "x11"
                                     << ""
                                     << "xcb" << DisplayServer::x11;
        QTest::newRow("no session type, xcb") << ""
                                              << ""
                                              << "xcb" << DisplayServer::x11;
        // XWayland: Qt talks X11, but the root sees no native Wayland client.
        QTest::newRow("xwayland by type") << "wayland"
                                          << ""
                                          << "xcb" << DisplayServer::wayland;
        QTest::newRow("xwayland by socket") << "x11"
                                            << "wayland-0"
                                            << "xcb" << DisplayServer::wayland;
        QTest::newRow("type in capitals") << "Wayland"
                                          << ""
                                          << "xcb" << DisplayServer::wayland;
        QTest::newRow("native wayland") << "wayland"
                                        << "wayland-0"
                                        << "wayland" << DisplayServer::wayland;
        QTest::newRow("wayland-egl plug-in") << ""
                                             << "wayland-1"
                                             << "wayland-egl" << DisplayServer::wayland;
        // Offscreen has no X connection even inside an X11 session.
        QTest::newRow("offscreen in x11") << "x11"
                                          << ""
                                          << "offscreen" << DisplayServer::none;
        QTest::newRow("minimal") << ""
                                 << ""
                                 << "minimal" << DisplayServer::none;
    }
    void decides() {
        QFETCH(QString, sessionType);
        QFETCH(QString, waylandDisplay);
        QFETCH(QString, platform);
        QFETCH(DisplayServer, expected);
        QCOMPARE(displayServerFor(sessionType, waylandDisplay, platform), expected);
    }
};

TARNWICK_TEST(DisplayServerTest)
#include "DisplayServerTest.moc"
