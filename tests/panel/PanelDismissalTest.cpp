#include "panel/PanelPlacement.h"
#include "panel/ResultsModel.h"
#include "panel/SearchPanel.h"
#include "platform/x11/XInputClickWatcher.h"
#include "tests/platform/XdoTool.h"
#include "tests/support/TestRunner.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;

namespace {

SearchSession::Dependencies threeFiles() {
    SearchSession::Dependencies deps;
    deps.lister = [](const QByteArray& folder, const std::atomic<bool>*) {
        QList<FileItem> items;
        for (const char* name : {"a.txt", "b.pdf", "c.png"})
            items.append(FileItem::fromPath(folder + "/" + name, folder, false, 10, 1000));
        return items;
    };
    return deps;
}

}  // namespace

// The panel on a real X server (private Xvfb), dismissed by clicks made with xdotool.
class PanelDismissalTest : public QObject {
    Q_OBJECT

    std::unique_ptr<SearchPanel> m_panel;

    XInputClickWatcher* watcher() {
        return qobject_cast<XInputClickWatcher*>(m_panel->clickOutsideWatcher());
    }

    // Clicks at a global position and waits until the panel's listener has read the press.
    bool clickAt(QPoint at, int button = 1) {
        XInputClickWatcher* listener = watcher();
        if (!listener) return false;
        const int before = listener->pressesSeen();
        return test::xdoClick(at, button) &&
               QTest::qWaitFor([&] { return listener->pressesSeen() > before; });
    }

private Q_SLOTS:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server (run through run-with-xvfb)");
    }

    void init() {
        m_panel = std::make_unique<SearchPanel>("/srv/demo", threeFiles());
        m_panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_panel.get()));
        QTRY_COMPARE(m_panel->resultsModel()->rowCount(), 3);
        QVERIFY2(watcher(), "the X11 listener runs on an X server");
    }

    void cleanup() { m_panel.reset(); }

    void clicksInsideKeepThePanel() {
        const QRect panel = m_panel->panelRect();
        QVERIFY(clickAt(panel.topLeft() + QPoint(200, 8)));       // the folder label
        QVERIFY(clickAt(panel.topLeft() + QPoint(100, 200), 3));  // a row, right button
        QVERIFY(clickAt(panel.bottomRight() - QPoint(4, 4)));     // near a rounded corner
        QVERIFY(!m_panel->isClosed());
    }

    void sortPopUpIsOurs() {
        QComboBox* sort = m_panel->sortButton();
        QVERIFY(clickAt(sort->mapToGlobal(sort->rect().center())));
        QAbstractItemView* list = sort->view();
        QTRY_VERIFY(list->isVisible());
        // A release soon after the pop-up opened counts as the end of the opening click.
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        const QRect dateRow = list->visualRect(list->model()->index(1, 0));
        const QPoint dateAt(list->window()->geometry().center().x(),
                            list->viewport()->mapToGlobal(dateRow.center()).y());
        QVERIFY(clickAt(dateAt));
        QTRY_VERIFY(!list->isVisible());
        QVERIFY(!m_panel->isClosed());
        QCOMPARE(m_panel->session().sortMode(), SortMode::dateModified);
    }

    void wheelOutsideKeepsThePanel() {
        QVERIFY(clickAt({5, 5}, 4));
        QVERIFY(clickAt({5, 5}, 5));
        QVERIFY(!m_panel->isClosed());
    }

    void clickOnDesktopCloses() {
        QSignalSpy closed(m_panel.get(), &SearchPanel::panelClosed);
        QVERIFY(clickAt({5, 5}));
        QCOMPARE(closed.count(), 1);
        QVERIFY(m_panel->isClosed());
        QVERIFY(!m_panel->isVisible());
        QVERIFY(m_panel->session().isClosed());
    }

    void clickInAnotherApplicationCloses() {
        QProcess other;
        other.start(QStringLiteral("xmessage"),
                    {QStringLiteral("-geometry"), QStringLiteral("200x80+20+20"),
                     QStringLiteral("elsewhere")});
        QVERIFY(other.waitForStarted());
        QVERIFY(test::xdoWaitForWindowClass(QStringLiteral("Xmessage")));
        QVERIFY(!m_panel->panelRect().intersects(QRect(20, 20, 200, 80)));
        QVERIFY(clickAt({60, 50}, 3));
        QVERIFY(m_panel->isClosed());
        other.kill();
        other.waitForFinished();
    }
};

TARNWICK_TEST(PanelDismissalTest)
#include "PanelDismissalTest.moc"
