#include "XdoTool.h"
#include "platform/FocusLossWatcher.h"
#include "tests/support/TestRunner.h"

#include <QGuiApplication>
#include <QProcess>
#include <QRasterWindow>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using tarnwick::FocusLossWatcher;

// Runs under a private Xvfb: the application loses activation when another client (xmessage)
// takes the keyboard focus, as it does on Wayland when the user clicks elsewhere.
class FocusLossWatcherTest : public QObject {
    Q_OBJECT

    QProcess m_other;

    std::unique_ptr<QRasterWindow> activeWindow() {
        auto window = std::make_unique<QRasterWindow>();
        window->setGeometry(500, 400, 200, 100);
        window->show();
        window->requestActivate();
        if (!QTest::qWaitForWindowActive(window.get())) return nullptr;
        return window;
    }

    bool focusElsewhere() {
        return tarnwick::test::xdoFocusWindowClass(QStringLiteral("Xmessage")) &&
               QTest::qWaitFor(
                   [] { return QGuiApplication::applicationState() != Qt::ApplicationActive; });
    }

private Q_SLOTS:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server (run through run-with-xvfb)");
        m_other.start(QStringLiteral("xmessage"),
                      {QStringLiteral("-geometry"), QStringLiteral("200x80+20+20"),
                       QStringLiteral("another application")});
        QVERIFY(m_other.waitForStarted());
        QVERIFY(tarnwick::test::xdoWaitForWindowClass(QStringLiteral("Xmessage")));
    }

    void cleanupTestCase() {
        m_other.kill();
        m_other.waitForFinished();
    }

    void ignoresInactivityBeforeFirstActivation() {
        QVERIFY(QGuiApplication::applicationState() != Qt::ApplicationActive);
        FocusLossWatcher watcher;
        QSignalSpy spy(&watcher, &FocusLossWatcher::clickedOutside);
        QVERIFY(watcher.start());
        // Active only now, then the focus goes elsewhere: one report.
        auto window = activeWindow();
        QVERIFY(window);
        QCOMPARE(spy.count(), 0);
        QVERIFY(focusElsewhere());
        QCOMPARE(spy.count(), 1);
    }

    void reportsLossAfterActivity() {
        auto window = activeWindow();
        QVERIFY(window);
        FocusLossWatcher watcher;
        QSignalSpy spy(&watcher, &FocusLossWatcher::clickedOutside);
        QVERIFY(watcher.start());
        QVERIFY(focusElsewhere());
        QCOMPARE(spy.count(), 1);
    }

    void focusMovingBetweenOwnWindowsIsNoLoss() {
        auto window = activeWindow();
        QVERIFY(window);
        FocusLossWatcher watcher;
        QSignalSpy spy(&watcher, &FocusLossWatcher::clickedOutside);
        QVERIFY(watcher.start());
        auto second = activeWindow();
        QVERIFY(second);
        QCOMPARE(spy.count(), 0);
    }

    void stoppedWatcherStaysSilent() {
        auto window = activeWindow();
        QVERIFY(window);
        FocusLossWatcher watcher;
        QSignalSpy spy(&watcher, &FocusLossWatcher::clickedOutside);
        QVERIFY(watcher.start());
        watcher.stop();
        watcher.stop();
        QVERIFY(focusElsewhere());
        QCOMPARE(spy.count(), 0);
    }
};

TARNWICK_TEST(FocusLossWatcherTest)
#include "FocusLossWatcherTest.moc"
