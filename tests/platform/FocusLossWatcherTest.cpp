#include "platform/FocusLossWatcher.h"
#include "tests/support/TestRunner.h"
#include "tests/support/gui/XServer.h"

#include <QGuiApplication>
#include <QRasterWindow>
#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;

// On a private Xvfb the application loses activation when another client takes the keyboard
// focus, as it does on Wayland when the user clicks elsewhere.
class FocusLossWatcherTest : public QObject {
    Q_OBJECT

    std::unique_ptr<xserver::OtherClient> m_other;

    static std::unique_ptr<QRasterWindow> activeWindow() {
        auto window = std::make_unique<QRasterWindow>();
        window->setGeometry(500, 400, 200, 100);
        window->show();
        window->requestActivate();
        return QTest::qWaitForWindowActive(window.get()) ? std::move(window) : nullptr;
    }

    static bool focusElsewhere() {
        return xserver::focus(xserver::OtherClient::kClass) && QTest::qWaitFor([] {
                   return QGuiApplication::applicationState() != Qt::ApplicationActive;
               });
    }

private Q_SLOTS:
    void initTestCase() {
        if (!xserver::available()) QSKIP("needs an X server (run through run-with-xvfb)");
        m_other = std::make_unique<xserver::OtherClient>(QRect(20, 20, 200, 80));
        QVERIFY(m_other->isShown());
    }

    void reportsOnlyFocusLeavingTheApplication_data() {
        QTest::addColumn<bool>("watchBeforeActive");
        QTest::addColumn<bool>("toOwnWindow");
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<int>("reports");
        QTest::newRow("lost after the first activation") << true << false << false << 1;
        QTest::newRow("lost, watched from active") << false << false << false << 1;
        QTest::newRow("moved to another own window") << false << true << false << 0;
        QTest::newRow("lost, stopped watcher") << false << false << true << 0;
    }
    void reportsOnlyFocusLeavingTheApplication() {
        QFETCH(bool, watchBeforeActive);
        QFETCH(bool, toOwnWindow);
        QFETCH(bool, stopped);
        QFETCH(int, reports);
        FocusLossWatcher watcher;
        QSignalSpy lost(&watcher, &FocusLossWatcher::clickedOutside);
        if (watchBeforeActive) QVERIFY(watcher.start());
        const auto window = activeWindow();
        QVERIFY(window);
        if (!watchBeforeActive) QVERIFY(watcher.start());
        QCOMPARE(lost.count(), 0);
        if (stopped) watcher.stop();
        const auto second = toOwnWindow ? activeWindow() : nullptr;
        QVERIFY(toOwnWindow ? second != nullptr : focusElsewhere());
        QCOMPARE(lost.count(), reports);
        // Inactive for the next case, while our windows are still there to lose the focus.
        QVERIFY(focusElsewhere());
    }
};

TARNWICK_TEST(FocusLossWatcherTest)
#include "FocusLossWatcherTest.moc"
