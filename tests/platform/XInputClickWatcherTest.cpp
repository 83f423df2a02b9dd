#include "platform/x11/XInputClickWatcher.h"
#include "tests/support/TestRunner.h"
#include "tests/support/gui/XServer.h"

#include <QRasterWindow>
#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

std::unique_ptr<QRasterWindow> windowAt(QRect geometry, Qt::WindowFlags flags = {}) {
    auto window = std::make_unique<QRasterWindow>();
    window->setFlags(window->flags() | flags);
    window->setGeometry(geometry);
    window->show();
    return QTest::qWaitForWindowExposed(window.get()) ? std::move(window) : nullptr;
}

// Clicks, then waits until the watcher has read that press, so that each click is judged with
// the pointer still where it was made.
bool clickAndWait(XInputClickWatcher& watcher, QPoint at, int button) {
    const int before = watcher.pressesSeen();
    return xserver::click(at, button) &&
           QTest::qWaitFor([&] { return watcher.pressesSeen() > before; });
}

}  // namespace

// Raw presses on a private Xvfb without a window manager: our panel (200,200 400x300), our pop-up
// (700,200 150x100), a window of ours that was hidden (200,600 200x100) and another client's.
class XInputClickWatcherTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QRasterWindow> m_panel, m_popup, m_hidden;
    std::unique_ptr<xserver::OtherClient> m_other;

private Q_SLOTS:
    void initTestCase() {
        if (!xserver::available()) QSKIP("needs an X server (run through run-with-xvfb)");
        m_panel = windowAt({200, 200, 400, 300});
        m_popup = windowAt({700, 200, 150, 100}, Qt::Popup);
        m_hidden = windowAt({200, 600, 200, 100});
        QVERIFY(m_panel && m_popup && m_hidden);
        m_hidden->hide();
        QTRY_VERIFY(!m_hidden->isExposed());
        m_other = std::make_unique<xserver::OtherClient>(QRect(900, 600, 300, 120));
        QVERIFY(m_other->isShown());
    }

    void clicksOutsideOurWindowsCount_data() {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("counts");
        QTest::newRow("left on the desktop") << QPoint(50, 50) << 1 << true;
        QTest::newRow("right on the desktop") << QPoint(50, 50) << 3 << true;
        for (int button : {2, 4, 5, 6, 7})  // middle and the wheel
            QTest::addRow("button %d on the desktop", button) << QPoint(50, 50) << button << false;
        QTest::newRow("on our panel") << QPoint(210, 210) << 1 << false;
        QTest::newRow("right in our panel's corner") << QPoint(599, 499) << 3 << false;
        QTest::newRow("on our pop-up") << QPoint(750, 250) << 1 << false;
        QTest::newRow("just right of our panel") << QPoint(600, 300) << 1 << true;
        QTest::newRow("where our hidden window was") << QPoint(300, 650) << 1 << true;
        QTest::newRow("in another client") << QPoint(950, 640) << 1 << true;
    }
    void clicksOutsideOurWindowsCount() {
        QFETCH(QPoint, at);
        QFETCH(int, button);
        QFETCH(bool, counts);
        XInputClickWatcher watcher;
        QVERIFY(watcher.start());
        QSignalSpy clicked(&watcher, &XInputClickWatcher::clickedOutside);
        QVERIFY(clickAndWait(watcher, at, button));
        QCOMPARE(clicked.count(), counts ? 1 : 0);
    }

    void stoppingFromTheSignalIsSafe() {
        XInputClickWatcher watcher, witness;
        QVERIFY(watcher.start() && witness.start());
        connect(&watcher, &XInputClickWatcher::clickedOutside, &watcher, &XInputClickWatcher::stop);
        QSignalSpy clicked(&watcher, &XInputClickWatcher::clickedOutside);
        // Two presses queued at once: the second must not be read after the stop, nor later.
        QVERIFY(xserver::click({50, 50}) && clickAndWait(witness, {60, 60}, 1));
        QTRY_COMPARE(witness.pressesSeen(), 2);
        QTRY_COMPARE(clicked.count(), 1);
        QCOMPARE(watcher.pressesSeen(), 1);
        watcher.stop();  // again: harmless
    }
};

TARNWICK_TEST(XInputClickWatcherTest)
#include "XInputClickWatcherTest.moc"
