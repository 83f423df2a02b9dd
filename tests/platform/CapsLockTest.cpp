#include "platform/CapsLock.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using namespace tarnwick;

// Caps Lock read from the window system's modifier state.
class CapsLockTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lockBitOfTheModifierState_data() {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<quint32>("state");
        QTest::addColumn<bool>("on");
        QTest::newRow("xcb lock") << "xcb" << 0x2u << true;
        QTest::newRow("xcb lock with num lock") << "xcb" << 0x12u << true;
        QTest::newRow("xcb shift") << "xcb" << 0x1u << false;
        QTest::newRow("xcb control and num lock") << "xcb" << 0x14u << false;
        QTest::newRow("wayland lock") << "wayland" << 0x2u << true;
        QTest::newRow("wayland-egl lock") << "wayland-egl" << 0x2u << true;
        QTest::newRow("offscreen says nothing") << "offscreen" << 0x2u << false;
        QTest::newRow("unknown platform") << "minimal" << 0xffu << false;
    }
    void lockBitOfTheModifierState() {
        QFETCH(QString, platform);
        QFETCH(quint32, state);
        QFETCH(bool, on);
        QCOMPARE(capsLockInNativeModifiers(state, platform), on);
    }
};

TARNWICK_TEST(CapsLockTest)
#include "CapsLockTest.moc"
