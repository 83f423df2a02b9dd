#include "PanelFixture.h"
#include "panel/ResultsModel.h"
#include "panel/ResultsTableView.h"
#include "platform/x11/XInputClickWatcher.h"
#include "tests/support/TestRunner.h"
#include "tests/support/gui/XServer.h"

#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QSignalSpy>

using namespace tarnwick;
using namespace tarnwick::test;

// The panel's keys typed on a real X server (private Xvfb) with xdotool, where the key events
// carry the X modifier state, Caps Lock included, and the panel must keep the keyboard.
class PanelKeysX11Test : public QObject {
    Q_OBJECT
    PanelFixture m_fixture;

private Q_SLOTS:
    void initTestCase() {
        if (!xserver::available()) QSKIP("needs an X server (run through run-with-xvfb)");
    }
    void init() {
        QVERIFY(m_fixture.open());
        QVERIFY(xserver::focus(QCoreApplication::applicationName()));
        QTRY_COMPARE(m_fixture.state(QStringLiteral("focus=")), QStringLiteral("focus=field"));
    }
    void cleanup() { m_fixture = {}; }

    void keys_data() {
        addScenarioColumns();
        scenario("Space previews", "select:notes.txt x:space",
                 "preview=~/notes.txt field= focus=field");
        scenario("Space again hides", "select:notes.txt x:space x:space", "preview=hidden field=");
        scenario("Caps Lock Space types", "select:notes.txt x:Caps_Lock,space,Caps_Lock",
                 "field=_ preview=hidden");
        scenario("Shift+Space types", "select:notes.txt x:shift+space", "field=_ preview=hidden");
        scenario("Ctrl+C", "select:alpha.txt x:ctrl+c", "clip=~/docs/alpha.txt field=");
        scenario("Caps Lock Ctrl+C", "clip:before select:alpha.txt x:Caps_Lock,ctrl+c,Caps_Lock",
                 "clip=~/docs/alpha.txt field=");
        // The X server's time of the key press, so that the file manager may take the focus.
        scenario("Caps Lock Ctrl+Return", "select:zeta.md x:Caps_Lock,ctrl+Return,Caps_Lock",
                 "revealed=~/zeta.md usertime=set opened= closed=yes");
        scenario("End", "select:docs x:End", "dir=~/docs rows=2");
        scenario("End and Home", "select:docs x:End x:Home", "dir=~ rows=6");
        scenario("arrows", "row:0 x:Down,Down,Up", "at=1");
        scenario("Return", "select:zeta.md x:Return", "opened=~/zeta.md closed=yes");
        scenario("Escape", "x:Escape", "closed=yes");
    }
    void keys() { PANEL_SCENARIO(m_fixture); }

    // Waits for the event that shows the menu, then for the listener to have read the press.
    void rightClickOpensTheMenuOnThatRow() {
        m_fixture.select(0);
        const int row = m_fixture.rowOf(QStringLiteral("zeta.md"));
        QAbstractItemView* view = m_fixture.panel->resultsView();
        QSignalSpy requested(view, &QWidget::customContextMenuRequested);
        QVERIFY(xserver::click(view->viewport()->mapToGlobal(m_fixture.centreOfRow(row)), 3));
        QVERIFY(requested.count() == 1 || requested.wait());
        QVERIFY(m_fixture.panel->contextMenu());
        QVERIFY(QTest::qWaitForWindowExposed(m_fixture.panel->contextMenu()));
        QCOMPARE(m_fixture.state(QStringLiteral("row=")), QStringLiteral("row=zeta.md"));
        // A click on our own row is no click elsewhere.
        auto* listener = qobject_cast<XInputClickWatcher*>(m_fixture.panel->clickOutsideWatcher());
        QTRY_COMPARE(listener->pressesSeen(), 1);
        m_fixture.run(QStringLiteral("x:Escape"));
        QTRY_COMPARE(m_fixture.state(QStringLiteral("menu= closed=")),
                     QStringLiteral("menu=none closed=no"));
    }
};

// The panel on a private Xvfb, dismissed by a click outside its windows. Which presses count as
// outside is the click watcher's own test; here: that the panel's windows are all its own.
class PanelDismissalTest : public QObject {
    Q_OBJECT
    PanelFixture m_fixture;

    // Clicks at a global position and waits until the panel's listener has read the press.
    bool clickAt(QPoint at, int button = 1) {
        auto* listener = qobject_cast<XInputClickWatcher*>(m_fixture.panel->clickOutsideWatcher());
        const int before = listener ? listener->pressesSeen() : 0;
        return listener && xserver::click(at, button) &&
               QTest::qWaitFor([&] { return listener->pressesSeen() > before; });
    }

private Q_SLOTS:
    void initTestCase() {
        if (!xserver::available()) QSKIP("needs an X server (run through run-with-xvfb)");
    }
    void init() { QVERIFY(m_fixture.open({"a.txt", "b.pdf", "c.png"})); }

    void clicksInsideKeepThePanel() {
        const QRect panel = m_fixture.panel->panelRect();
        QVERIFY(clickAt(panel.topLeft() + QPoint(200, 8)));       // the folder label
        QVERIFY(clickAt(panel.topLeft() + QPoint(100, 200), 3));  // a row, right button
        QVERIFY(clickAt(panel.bottomRight() - QPoint(4, 4)));     // near a rounded corner
        QVERIFY(!m_fixture.panel->isClosed());
    }

    void sortPopUpIsOurs() {
        QComboBox* sort = m_fixture.panel->sortButton();
        QVERIFY(clickAt(sort->mapToGlobal(sort->rect().center())));
        QAbstractItemView* list = sort->view();
        QTRY_VERIFY(list->isVisible());
        // A release soon after the pop-up opened counts as the end of the opening click.
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        const QRect dateRow = list->visualRect(list->model()->index(1, 0));
        QVERIFY(clickAt({list->window()->geometry().center().x(),
                         list->viewport()->mapToGlobal(dateRow.center()).y()}));
        QTRY_VERIFY(!list->isVisible());
        QCOMPARE(m_fixture.state(QStringLiteral("closed= sort=")),
                 QStringLiteral("closed=no sort=Date"));
    }

    void clickOutsideCloses() {
        QSignalSpy closed(m_fixture.panel.get(), &SearchPanel::panelClosed);
        QVERIFY(clickAt({5, 5}));
        QCOMPARE(closed.count(), 1);
        QVERIFY(!m_fixture.panel->isVisible());
        QVERIFY(m_fixture.panel->session().isClosed());
    }
};

TARNWICK_TEST(PanelKeysX11Test)
TARNWICK_TEST(PanelDismissalTest)
#include "PanelX11Test.moc"
