#include "PanelFixture.h"
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

// The panel on a private Xvfb: keys typed with xdotool carry the X modifier state (Caps Lock
// included), the panel keeps the keyboard, and clicks outside its windows dismiss it.
class PanelX11Test : public QObject {
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
    void init() {
        QVERIFY(m_fixture.open());
        QVERIFY(xserver::focus(QCoreApplication::applicationName()));
        m_fixture.expect(QStringLiteral("focus=field"));
    }
    void cleanup() { m_fixture = {}; }
    void keys_data() {
        addScenarioColumns();
        row("Space previews", "select:notes.txt x:space", "preview=~/notes.txt focus=field");
        row("Caps Lock Space types", "select:notes.txt x:Caps_Lock,space,Caps_Lock",
            "field=_ preview=hidden");
        row("Shift+Space types", "select:notes.txt x:shift+space", "field=_ preview=hidden");
        row("Caps Lock Ctrl+C", "clip:x select:alpha.txt x:Caps_Lock,ctrl+c,Caps_Lock",
            "clip=~/docs/alpha.txt field=");
        // With the X server's time of the key press, so that the file manager may take the focus.
        row("Caps Lock Ctrl+Return", "select:zeta.md x:Caps_Lock,ctrl+Return,Caps_Lock",
            "revealed=~/zeta.md usertime=set opened= closed=yes");
        row("End and Home", "select:docs x:End x:Home", "dir=~ rows=6");
        row("arrows", "select:0 x:Down,Down,Up", "at=1");
    }
    void keys() { m_fixture.playRow(); }
    // A right click opens the row's menu (awaiting its event); inside clicks keep, outside closes.
    void clicks() {
        QAbstractItemView* view = m_fixture.panel->resultsView();
        QSignalSpy requested(view, &QWidget::customContextMenuRequested);
        QVERIFY(clickAt(view->viewport()->mapToGlobal(m_fixture.centreOfRow(5)), 3));
        QVERIFY(requested.count() == 1 || requested.wait());
        QVERIFY(QTest::qWaitForWindowExposed(m_fixture.panel->contextMenu()));
        m_fixture.run(QStringLiteral("x:Escape"));
        m_fixture.expect(QStringLiteral("at=5 menu=none closed=no"));
        const QRect panel = m_fixture.panel->panelRect();
        QVERIFY(clickAt(panel.topLeft() + QPoint(200, 8)));    // the folder label
        QVERIFY(clickAt(panel.bottomRight() - QPoint(4, 4)));  // near a rounded corner
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
        m_fixture.expect(QStringLiteral("closed=no sort=Date"));
        QVERIFY(clickAt({5, 5}));
        m_fixture.expect(QStringLiteral("closed=yes visible=no"));
    }
};

TARNWICK_TEST(PanelX11Test)
#include "PanelX11Test.moc"
