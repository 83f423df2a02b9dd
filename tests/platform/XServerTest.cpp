#include "PlatformTest.h"
#include "platform/FocusLossWatcher.h"
#include "platform/x11/X11KeyGrab.h"
#include "platform/x11/XInputClickWatcher.h"
#include "tests/support/gui/XServer.h"

#include <QGuiApplication>
#include <QRasterWindow>
#include <QSignalSpy>

using namespace tarnwick;
using namespace tarnwick::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// Ctrl+Shift+`keysym`, or Alt+Super+`keysym`.
ShortcutKey shortcut(quint32 keysym = 0x20, bool altSuper = false) {
    return {.keysym = keysym,
            .control = !altSuper,
            .alt = altSuper,
            .shift = !altSuper,
            .super = altSuper};
}

std::unique_ptr<QRasterWindow> windowAt(QRect geometry, Qt::WindowFlags flags = {}) {
    auto window = std::make_unique<QRasterWindow>();
    window->setFlags(window->flags() | flags);
    window->setGeometry(geometry);
    window->show();
    return QTest::qWaitForWindowExposed(window.get()) ? std::move(window) : nullptr;
}

using Typed = std::tuple<QString, QStringList>;
using Click = std::tuple<QPoint, int, bool>;
using Focus = std::tuple<bool, bool, bool, int>;

}  // namespace

// The key grab on a private Xvfb: presses arrive whatever the lock keys, a key another client
// holds is refused with the server's error, and a grab given back is free again.
class X11KeyGrabTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        if (!xserver::available()) QSKIP("needs an X server (run through run-with-xvfb)");
    }
    void onlyOurCombinationArrives_data() {  // lock key, keys typed (ours last)
        table<Typed>({
            {"ours after others", {"", {"space", "ctrl+space", "ctrl+shift+space"}}},
            {"with caps lock", {"Caps_Lock", {"ctrl+shift+space"}}},
            {"with num lock", {"Num_Lock", {"ctrl+shift+space"}}},
            {"alt and super from the modifier map", {"", {"alt+super+Return"}}},
        });
    }
    void onlyOurCombinationArrives() {
        const auto& [lock, typed] = row<Typed>();
        X11KeyGrab grab;
        QSignalSpy pressed(&grab, &GlobalShortcut::pressed);
        QSignalSpy failed(&grab, &GlobalShortcut::registrationFailed);
        grab.registerKey(typed.last() == u"alt+super+Return" ? shortcut(0xff0d, true) : shortcut());
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
        QVERIFY(xserver::xdotool({u"keydown"_s, u"ctrl+shift+space"_s}));
        QTest::qWait(1000);  // past the server's auto-repeat delay of 660 ms
        QVERIFY(xserver::xdotool({u"keyup"_s, u"ctrl+shift+space"_s}));
        xserver::settle();
        QCOMPARE(pressed.size(), 1);
    }
    void refusals() {
        X11KeyGrab first, second;
        first.registerKey(shortcut());
        QVERIFY(first.isGrabbed());
        QSignalSpy failed(&second, &GlobalShortcut::registrationFailed);
        second.registerKey(shortcut());
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed[0][0].toInt(), 10);  // BadAccess: another client holds it
        QVERIFY(!second.isGrabbed());
        first.unregisterKey();
        second.registerKey(shortcut());
        QCOMPARE(failed.size(), 1);
        QVERIFY(second.isGrabbed());
        second.registerKey(shortcut(0x0100263a));  // U+263A as a keysym: on no keyboard layout
        QCOMPARE(failed.size(), 2);
        QCOMPARE(failed[1][0].toInt(), X11KeyGrab::kKeyNotOnKeyboard);
    }
};

// Raw presses on a private Xvfb without a window manager: our panel (200,200 400x300), our pop-up
// (700,200 150x100), a window of ours that was hidden (200,600 200x100) and another client's.
class XInputClickWatcherTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QRasterWindow> m_panel, m_popup, m_hidden;
    std::unique_ptr<xserver::OtherClient> m_other;
    // Clicks, then waits until the watcher has read that press, so that each click is judged
    // with the pointer still where it was made.
    static bool clickAndWait(XInputClickWatcher& watcher, QPoint at, int button = 1) {
        const int before = watcher.pressesSeen();
        return xserver::click(at, button) &&
               QTest::qWaitFor([&] { return watcher.pressesSeen() > before; });
    }
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
    void clicksOutsideOurWindowsCount_data() {  // where, button, counts
        QTest::addColumn<Click>("row");
        QTest::newRow("left on the desktop") << Click{{50, 50}, 1, true};
        QTest::newRow("right on the desktop") << Click{{50, 50}, 3, true};
        for (int button : {2, 4, 5, 6, 7})  // middle and the wheel
            QTest::addRow("button %d on the desktop", button) << Click{{50, 50}, button, false};
        QTest::newRow("on our panel") << Click{{210, 210}, 1, false};
        QTest::newRow("right in our panel's corner") << Click{{599, 499}, 3, false};
        QTest::newRow("on our pop-up") << Click{{750, 250}, 1, false};
        QTest::newRow("just right of our panel") << Click{{600, 300}, 1, true};
        QTest::newRow("where our hidden window was") << Click{{300, 650}, 1, true};
        QTest::newRow("in another client") << Click{{950, 640}, 1, true};
    }
    void clicksOutsideOurWindowsCount() {
        const auto& [at, button, counts] = row<Click>();
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
        QVERIFY(xserver::click({50, 50}) && clickAndWait(witness, {60, 60}));
        QTRY_COMPARE(witness.pressesSeen(), 2);
        QTRY_COMPARE(clicked.count(), 1);
        QCOMPARE(watcher.pressesSeen(), 1);
        watcher.stop();  // again: harmless
    }
};

// On a private Xvfb the application loses activation when another client takes the keyboard
// focus, as it does on Wayland when the user clicks elsewhere.
class FocusLossWatcherTest : public QObject {
    Q_OBJECT
    std::unique_ptr<xserver::OtherClient> m_other;
    static std::unique_ptr<QRasterWindow> activeWindow() {
        auto window = windowAt({500, 400, 200, 100});
        if (window) window->requestActivate();
        return window && QTest::qWaitForWindowActive(window.get()) ? std::move(window) : nullptr;
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
    void reportsOnlyFocusLeavingTheApplication_data() {  // watch before active, to own, stopped
        table<Focus>({
            {"lost after the first activation", {true, false, false, 1}},
            {"lost, watched from active", {false, false, false, 1}},
            {"moved to another own window", {false, true, false, 0}},
            {"lost, stopped watcher", {false, false, true, 0}},
        });
    }
    void reportsOnlyFocusLeavingTheApplication() {
        const auto& [watchBeforeActive, toOwnWindow, stopped, reports] = row<Focus>();
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

TARNWICK_TEST(X11KeyGrabTest)
TARNWICK_TEST(XInputClickWatcherTest)
TARNWICK_TEST(FocusLossWatcherTest)
#include "XServerTest.moc"
