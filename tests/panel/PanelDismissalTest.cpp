#include "PanelFixture.h"
#include "panel/ResultsModel.h"
#include "platform/x11/XInputClickWatcher.h"
#include "tests/support/TestRunner.h"
#include "tests/support/gui/XServer.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;

// The panel on a private Xvfb, dismissed by a click outside its windows. Which presses count as
// outside is the click watcher's own test; here: that the panel's windows are all its own.
class PanelDismissalTest : public QObject {
    Q_OBJECT

    PanelFixture m_fixture;

    // Clicks at a global position and waits until the panel's listener has read the press.
    bool clickAt(QPoint at, int button = 1) {
        auto* listener = qobject_cast<XInputClickWatcher*>(m_fixture.panel->clickOutsideWatcher());
        if (!listener) return false;
        const int before = listener->pressesSeen();
        return xserver::click(at, button) &&
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
        QVERIFY(!m_fixture.panel->isClosed());
        QCOMPARE(m_fixture.panel->session().sortMode(), SortMode::dateModified);
    }

    void clickOutsideCloses() {
        QSignalSpy closed(m_fixture.panel.get(), &SearchPanel::panelClosed);
        QVERIFY(clickAt({5, 5}));
        QCOMPARE(closed.count(), 1);
        QVERIFY(m_fixture.panel->isClosed());
        QVERIFY(!m_fixture.panel->isVisible());
        QVERIFY(m_fixture.panel->session().isClosed());
    }
};

TARNWICK_TEST(PanelDismissalTest)
#include "PanelDismissalTest.moc"
