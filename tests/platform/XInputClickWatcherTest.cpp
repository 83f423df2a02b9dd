#include "XdoTool.h"
#include "platform/x11/XInputClickWatcher.h"
#include "tests/support/TestRunner.h"

#include <QGuiApplication>
#include <QProcess>
#include <QRasterWindow>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using tarnwick::XInputClickWatcher;

namespace {

bool clickAt(QPoint at, int button) {
    return tarnwick::test::xdoClick(at, button);
}

std::unique_ptr<QRasterWindow> windowAt(QRect geometry, Qt::WindowFlags flags = {}) {
    auto window = std::make_unique<QRasterWindow>();
    window->setFlags(window->flags() | flags);
    window->setGeometry(geometry);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
    return window;
}

}  // namespace

// Runs under a private Xvfb without a window manager; the pointer is driven with xdotool.
class XInputClickWatcherTest : public QObject {
    Q_OBJECT

    // Clicks and waits until the watcher has read that press, so that each click is judged
    // with the pointer still where it was made.
    bool clickAndWait(XInputClickWatcher& watcher, QPoint at, int button) {
        const int before = watcher.pressesSeen();
        if (!clickAt(at, button)) return false;
        return QTest::qWaitFor([&] { return watcher.pressesSeen() > before; });
    }

private Q_SLOTS:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server (run through run-with-xvfb)");
    }

    void leftAndRightClicksOnDesktopCount() {
        XInputClickWatcher watcher;
        QVERIFY(watcher.start());
        QSignalSpy spy(&watcher, &XInputClickWatcher::clickedOutside);
        QVERIFY(clickAndWait(watcher, {50, 50}, 1));
        QCOMPARE(spy.count(), 1);
        QVERIFY(clickAndWait(watcher, {60, 60}, 3));
        QCOMPARE(spy.count(), 2);
    }

    void middleButtonAndWheelDoNotCount() {
        XInputClickWatcher watcher;
        QVERIFY(watcher.start());
        QSignalSpy spy(&watcher, &XInputClickWatcher::clickedOutside);
        for (int button : {2, 4, 5, 6, 7}) QVERIFY(clickAndWait(watcher, {50, 50}, button));
        QCOMPARE(watcher.pressesSeen(), 5);
        QCOMPARE(spy.count(), 0);
    }

    void clicksOnOwnWindowsDoNotCount() {
        auto panel = windowAt({200, 200, 400, 300});
        auto popup = windowAt({700, 200, 150, 100}, Qt::Popup);
        QVERIFY(panel && popup);
        XInputClickWatcher watcher;
        QVERIFY(watcher.start());
        QSignalSpy spy(&watcher, &XInputClickWatcher::clickedOutside);
        QVERIFY(clickAndWait(watcher, {210, 210}, 1));
        QVERIFY(clickAndWait(watcher, {590, 490}, 3));
        QVERIFY(clickAndWait(watcher, {750, 250}, 1));
        QCOMPARE(spy.count(), 0);
        // Just outside the panel's right edge.
        QVERIFY(clickAndWait(watcher, {601, 300}, 1));
        QCOMPARE(spy.count(), 1);
    }

    void hiddenOwnWindowNoLongerShields() {
        auto panel = windowAt({200, 200, 400, 300});
        QVERIFY(panel);
        XInputClickWatcher watcher;
        QVERIFY(watcher.start());
        QSignalSpy spy(&watcher, &XInputClickWatcher::clickedOutside);
        panel->hide();
        QTRY_VERIFY(!panel->isExposed());
        QVERIFY(clickAndWait(watcher, {300, 300}, 1));
        QCOMPARE(spy.count(), 1);
    }

    void clickInAnotherClientCounts() {
        auto panel = windowAt({200, 200, 400, 300});
        QVERIFY(panel);
        QProcess other;
        other.start(QStringLiteral("xmessage"),
                    {QStringLiteral("-geometry"), QStringLiteral("300x120+900+600"),
                     QStringLiteral("another application")});
        QVERIFY(other.waitForStarted());
        QVERIFY(tarnwick::test::xdoWaitForWindowClass(QStringLiteral("Xmessage")));

        XInputClickWatcher watcher;
        QVERIFY(watcher.start());
        QSignalSpy spy(&watcher, &XInputClickWatcher::clickedOutside);
        QVERIFY(clickAndWait(watcher, {950, 640}, 1));
        QCOMPARE(spy.count(), 1);
        other.kill();
        other.waitForFinished();
    }

    void stoppedWatcherReportsNothing() {
        XInputClickWatcher witness;
        XInputClickWatcher stopped;
        QVERIFY(witness.start());
        QVERIFY(stopped.start());
        QSignalSpy spy(&stopped, &XInputClickWatcher::clickedOutside);
        stopped.stop();
        stopped.stop();
        QVERIFY(clickAndWait(witness, {50, 50}, 1));
        QCOMPARE(spy.count(), 0);
        QCOMPARE(stopped.pressesSeen(), 0);
    }

    void stoppingFromTheSignalIsSafe() {
        XInputClickWatcher watcher;
        QVERIFY(watcher.start());
        connect(&watcher, &XInputClickWatcher::clickedOutside, &watcher, &XInputClickWatcher::stop);
        QSignalSpy spy(&watcher, &XInputClickWatcher::clickedOutside);
        // Two presses queued at once: the second must not be read after the stop.
        QVERIFY(clickAt({50, 50}, 1));
        QVERIFY(clickAt({60, 60}, 1));
        QTRY_COMPARE(spy.count(), 1);
        QTest::qWait(100);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(watcher.pressesSeen(), 1);
    }
};

TARNWICK_TEST(XInputClickWatcherTest)
#include "XInputClickWatcherTest.moc"
