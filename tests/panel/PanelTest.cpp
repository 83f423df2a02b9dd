#include "PanelFixture.h"
#include "core/FileUri.h"
#include "panel/PanelLabel.h"
#include "panel/PanelLayout.h"
#include "panel/PanelPlacement.h"
#include "panel/PreviewWindow.h"
#include "platform/x11/XInputClickWatcher.h"
#include "tests/support/TestRunner.h"
#include "tests/support/gui/XServer.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>

using namespace tarnwick;
using namespace tarnwick::test;

static QList<QByteArray> numberedFiles(int count) {
    QList<QByteArray> names;
    for (int i = 0; i < count; ++i) names.append("file" + QByteArray::number(i) + ".txt");
    return names;
}

// The panel's views fed by its search session, and its window: built, shown, sized, closed.
class SearchPanelTest : public QObject {
    Q_OBJECT
    PanelFixture m_fixture;
private Q_SLOTS:
    void cleanup() { m_fixture = {}; }
    void closingBeforeShowingStops() {
        SearchPanel panel(PanelFixture::kRoot, PanelFixture::madeUpTree({}));
        QCOMPARE(panel.panelRect().size(), QSize(640, 120));
        panel.close();
        panel.show();
        QVERIFY(!panel.isVisible() && panel.session().isClosed());
    }
    // Grown from the top or moved up on a short screen (offscreen: 600), room for exactly the
    // rows, drawn through the delegate without a widget per row.
    void heightAndSelectionFollowPublishedResults() {
        for (const auto& [count, height] :
             {std::pair{0, 131}, {1, 180}, {3, 278}, {10, 621}, {500, 621}}) {
            QVERIFY(m_fixture.open(numberedFiles(count)));
            SearchPanel& panel = *m_fixture.panel;
            QCOMPARE(panel.resultsModel()->rowCount(), count);
            QCOMPARE(panelHeightFor(count), height);
            const QRect available = panel.screen()->availableGeometry();
            QCOMPARE(panel.panelRect(),
                     resizedKeepingTop(openingRect(available), height, available));
            QVERIFY(available.contains(panel.panelRect()));
            const QRect results = panelLayout({kPanelWidth, height}, 80).results;
            const int rows = std::min(count, kMaxVisibleRows);
            QVERIFY(results.height() >= rows * kRowPitch &&
                    results.height() < rows * kRowPitch + kRowHeight);
            QCOMPARE(results.bottom() + 1, height - 8);
            QCOMPARE(panel.resultsView()->selectedRow(), count > 0 ? 0 : -1);
            QCOMPARE(panel.countLabel()->text(), panel.session().countText());
            QVERIFY(!panel.countLabel()->text().isEmpty());
            QCOMPARE(QApplication::focusWidget(), panel.searchField());
            m_fixture.run(QStringLiteral("type:file1"));  // rows with marks
            QVERIFY(!panel.grab().toImage().isNull());
            QCOMPARE(panel.resultsView()->viewport()->findChildren<QWidget*>().size(), 0);
        }
    }
    void snippetRepaintsOnlyItsRow() {
        QVERIFY(m_fixture.open());
        QSignalSpy changed(m_fixture.panel->resultsModel(), &ResultsModel::dataChanged);
        QSignalSpy reset(m_fixture.panel->resultsModel(), &ResultsModel::modelReset);
        Q_EMIT m_fixture.panel->session().snippetReady(3);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(0).toModelIndex().row() * 10 +
                     changed.first().at(1).toModelIndex().row(),
                 33);
        QCOMPARE(reset.count(), 0);
    }
    // Long lists are laid out a part at a time, yet a deep selection is in view at once.
    void longListsKeepDeepSelectionsInView() {
        const int rows = 12000;
        QVERIFY(m_fixture.open(numberedFiles(rows)));
        ResultsTableView* view = m_fixture.panel->resultsView();
        ResultsModel* model = m_fixture.panel->resultsModel();
        model->replaceItems(m_fixture.panel->session().filteredItems());
        view->selectRow(rows - 5);
        QCOMPARE(view->selectedRow(), rows - 5);
        const auto shown = [&](int row) {
            return view->viewport()->rect().contains(view->visualRect(model->index(row)));
        };
        QVERIFY(shown(rows - 5));
        model->replaceItems(m_fixture.panel->session().filteredItems());
        view->selectRow(0);
        m_fixture.run(QStringLiteral("key:Down ").repeated(39));  // moved into view as it goes
        QVERIFY(view->selectedRow() == 39 && shown(39));
        QScrollBar* bar = view->verticalScrollBar();
        QTRY_VERIFY((bar->setValue(bar->maximum()), shown(rows - 1)));
    }
};

// What each key and control does, whichever layer takes it: panel shortcuts (never in another
// window), the field's commands (folders stepped into by the caret), the views, sort and pills;
// and open, reveal, copy and trash on the item selected when the user asked, from keys, the
// context menu, a double click or a drag.
class PanelActionsTest : public QObject {
    Q_OBJECT
    PanelFixture m_fixture;
private Q_SLOTS:
    void init() { QVERIFY(m_fixture.open()); }
    void cleanup() { m_fixture = {}; }
    void scenarios_data() {
        addScenarioColumns();
        row("Space previews", "select:notes.txt key:Space", "preview=~/notes.txt field=");
        row("Space again hides", "select:notes.txt key:Space key:Space", "preview=hidden field=");
        row("Space on a folder", "select:docs key:Space", "preview=hidden field=");
        row("Space without results", "type:qqq key:Space", "field=qqq preview=hidden");
        row("Shift+Space types", "select:notes.txt key:Shift+Space", "field=_ preview=hidden");
        row("Ctrl+Return reveals", "select:alpha.txt key:Ctrl+Return",
            "revealed=~/docs/alpha.txt opened= closed=yes");
        row("Ctrl+Shift+Return opens", "select:notes.txt key:Ctrl+Shift+Return",
            "revealed= opened=~/notes.txt");
        row("Ctrl+C copies the path", "clip:x select:beta.txt key:Ctrl+C",
            "clip=~/docs/beta.txt field= closed=no");
        row("Ctrl+C copies marked text", "type:notes mark:1,3 key:Ctrl+C", "clip=ote");
        row("another window's keys",
            "clip:x select:notes.txt other:Space other:Ctrl+C other:Ctrl+Return other:Escape",
            "other=_ preview=hidden clip=x revealed= closed=no");
        row("closed panel lets keys pass", "close other:Space", "other=_");
        row("Down", "select:1 key:Down", "at=2 field=");
        row("Down at the end", "select:5 key:Down", "at=5");
        row("Up", "select:3 key:Up", "at=2");
        row("Up at the top", "select:0 key:Up", "at=0");
        row("Down, no selection", "select:- key:Down", "at=0");
        row("Up, no selection", "select:- key:Up", "at=0");
        row("arrows, no results", "type:qqq key:Down key:Up", "at=-1 field=qqq");
        row("Return opens", "select:zeta.md key:Return", "opened=~/zeta.md closed=yes");
        row("keypad Enter opens", "select:zeta.md key:Num+Enter", "opened=~/zeta.md");
        const char* inDocs = "dir=~/docs field= label=projects/docs names=alpha.txt,beta.txt";
        row("End enters", "type:doc select:docs key:End", inDocs);
        row("Ctrl+Right enters", "type:doc select:docs key:Ctrl+Right", inDocs);
        row("End in the query", "type:doc select:docs caret:1 key:End", "dir=~ caret=3 field=doc");
        row("End on marked text", "type:doc select:docs mark:0,3 key:End", "dir=~ marked= caret=3");
        row("End on a file", "select:notes.txt key:End", "dir=~ closed=no opened=");
        const char* outOfDocs = "dir=~ label=projects rows=6";
        row("Home goes back", "type:doc select:docs key:End key:Home", outOfDocs);
        row("Ctrl+Left goes back", "type:doc select:docs key:End key:Ctrl+Left", outOfDocs);
        const QString inDocsTyped = "type:doc select:docs key:End type:al ";
        row("Home in the query", inDocsTyped + "key:Home", "dir=~/docs caret=0 field=al");
        row("Home at its start", inDocsTyped + "key:Home key:Home", "dir=~ field=");
        row("Ctrl+Left on marked", inDocsTyped + "mark:0,2 key:Ctrl+Left", "dir=~");
        row("Home in the opened folder", "type:no key:Home key:Home", "dir=~ caret=0 field=no");
        row("Escape in the list", "list:Escape", "closed=yes");
        row("Return in the list", "select:zeta.md list:Return", "opened=~/zeta.md closed=yes");
        row("Shift+Return", "select:zeta.md key:Shift+Return", "opened=~/zeta.md");
        row("Alt+Return", "select:zeta.md key:Alt+Return", "opened=~/zeta.md");
        row("Shift+Down", "select:2 key:Shift+Down", "at=3");
        row("Alt+Up", "select:2 key:Alt+Up", "at=1");
        row("Escape to the panel", "panel:Escape", "closed=yes");
        row("typing searches", "type:notes", "query=notes rows=1 height=180");
        row("Ctrl+H shows hidden files", "type:notes key:Ctrl+H", "field=notes rows=2");
        row("Ctrl+H again hides them", "type:notes key:Ctrl+H key:Ctrl+H", "field=notes rows=1");
        row("set text is no query", "set:zeta", "query= rows=6");
        row("sort choice", "sort:2", "sort=Size");
        row("pill", "pill:1", "pills=All,*TXT_(3),MD_(2),Folders rows=3");
        row("All stays on", "pill:1 pill:0 pill:0", "pills=*All,TXT_(3),MD_(2),Folders rows=6");
        row("closed for good", "key:Escape show", "closed=yes visible=no");
        const QString copied =
            "formats=text/uri-list,x-special/gnome-copied-files,"
            "x-special/mate-copied-files,application/x-kde-cutselection";
        row("open", "select:notes.txt open", "opened=~/notes.txt closed=yes");
        row("refused open", "refuse:gone select:notes.txt open", "opened=~/notes.txt closed=yes");
        row("nothing selected",
            "clip:x select:- open reveal revealclose copypath copyfile trash key:Ctrl+C key:Return "
            "key:Ctrl+Return",
            "opened= revealed= trashed= clip=x closed=no");
        row("reveal", "select:alpha.txt reveal", "revealed=~/docs/alpha.txt closed=no");
        row("reveal, close", "select:beta.txt revealclose", "revealed=~/docs/beta.txt time=987654");
        row("copy path", "select:beta.txt copypath", "clip=~/docs/beta.txt formats=text/plain");
        row("copy file", "select:beta.txt copyfile", copied + " closed=no");
        row("trash keeps query and order", "type:e sort:2 select:notes.txt trash",
            "trashed=~/notes.txt names=beta.txt,zeta.md,readme.md field=e sort=Size count=3_of_5");
        row("trashed folder", "select:docs trash", "trashed=~/docs rows=3");
        row("menu", "select:0 menu:zeta.md",
            "row=zeta.md "
            "entries=Open,Reveal_in_File_Manager,-,Copy_Path,Copy_File,-,Move_to_Trash");
        row("menu beside the rows", "menu:-", "menu=none");
        row("menu Open", "menu:zeta.md entry:Open", "opened=~/zeta.md closed=yes");
        row("menu Reveal", "menu:notes.txt entry:Reveal_in_File_Manager", "revealed=~/notes.txt");
        row("menu Copy Path", "menu:beta.txt entry:Copy_Path", "clip=~/docs/beta.txt");
        row("menu Copy File", "menu:beta.txt entry:Copy_File", copied);
        row("menu after a republication", "menu:zeta.md type:alpha entry:Move_to_Trash",
            "rows=1 trashed=~/zeta.md");
    }
    void scenarios() { m_fixture.playRow(); }
    // One alert with the reason; the row stays, and so does the panel. Past PATH_MAX the file
    // manager and the default application are not even asked.
    void refusalsShowTheirMessage_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("alert");
        QTest::addColumn<QString>("expected");
        QTest::newRow("trash") << "- select:zeta.md trash"
                               << "Unable to trash: Permission denied"
                               << "rows=6 row=zeta.md";
        QTest::newRow("open, long path") << "deep select:0 open"
                                         << "cannot be opened"
                                         << "opened= closed=no";
        QTest::newRow("reveal, long path") << "deep select:0 revealclose"
                                           << "cannot be shown in the file manager"
                                           << "revealed= closed=no";
    }
    void refusalsShowTheirMessage() {
        QFETCH(QString, steps);
        QFETCH(QString, alert);
        if (steps.startsWith(QLatin1String("deep")))  // a name below 20 folders of 250 bytes each
            QVERIFY(m_fixture.open({QByteArray(250, 'd').append('/').repeated(20) + "x.txt"}));
        m_fixture.trash->outcome = {false, QStringLiteral("Unable to trash: Permission denied")};
        QStringList alerts;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                alerts << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        poll.start(20);
        m_fixture.run(steps.section(u' ', 1));
        QCOMPARE(alerts.size(), 1);
        QVERIFY2(alerts[0].contains(alert), qPrintable(alerts[0]));
        QFETCH(QString, expected);
        m_fixture.expect(expected);
    }
    // What a window system delivers: press, release, press, double click, release.
    void doubleClickOpensAndCloses() {
        QWidget* viewport = m_fixture.panel->resultsView()->viewport();
        const QPoint at = m_fixture.centreOfRow(m_fixture.rowOf(QStringLiteral("notes.txt")));
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        QTest::mousePress(viewport, Qt::LeftButton, {}, at);
        QMouseEvent second(QEvent::MouseButtonDblClick, at, viewport->mapToGlobal(at),
                           Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &second);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
        m_fixture.expect(QStringLiteral("opened=~/notes.txt closed=yes"));
    }
    // Bytes that are not UTF-8 (Latin-1 here) stay exact when copied, dragged and opened.
    void rowsDragTheirFilesAsACopy() {
        const QByteArray oddName = "caf\xe9 #1.txt", oddPath = PanelFixture::kRoot + "/" + oddName;
        QVERIFY(m_fixture.open(PanelFixture::kTree + QList<QByteArray>{oddName}));
        ResultsTableView* view = m_fixture.panel->resultsView();
        ResultsModel* model = m_fixture.panel->resultsModel();
        QCOMPARE(view->dragDropMode(), QAbstractItemView::DragOnly);
        QCOMPARE(view->defaultDropAction(), Qt::CopyAction);
        QCOMPARE(model->supportedDragActions(), Qt::CopyAction);
        const QModelIndex odd = model->index(m_fixture.rowOf(QString::fromUtf8(oddName)));
        QVERIFY(model->flags(odd).testFlag(Qt::ItemIsDragEnabled) &&
                !model->flags({}).testFlag(Qt::ItemIsDragEnabled));
        std::unique_ptr<QMimeData> data(model->mimeData({odd}));
        QCOMPARE(data->data(QStringLiteral("text/uri-list")),
                 fileUriFromPath(oddPath).toLatin1() + "\r\n");
        QCOMPARE(model->data(odd, Qt::DisplayRole).toString(), QString::fromUtf8(oddName));
        view->selectRow(odd.row());
        m_fixture.panel->copySelectedPath();
        QCOMPARE(QApplication::clipboard()->mimeData()->data(QStringLiteral("text/plain")),
                 oddPath);
        m_fixture.panel->openSelected();
        QCOMPARE(m_fixture.opener->opened, QList<QByteArray>{oddPath});
        // A row read out before a re-publication reads out the item now in its place; an index
        // kept from a longer list, and no index, give nothing.
        const QModelIndex first = model->index(0), last = model->index(model->rowCount() - 1);
        const auto readsOutItsItem = [&] {
            return model->data(first, Qt::AccessibleTextRole)
                .toString()
                .startsWith(model->data(first, Qt::DisplayRole).toString() + u',');
        };
        QVERIFY(readsOutItsItem());
        model->replaceItems(Results::ofItems(model->items().toList().mid(1)));
        QVERIFY(readsOutItsItem());
        QCOMPARE(model->mimeData({last}), nullptr);
        QCOMPARE(model->data(last, Qt::DisplayRole), QVariant());
        QCOMPARE(model->data({}, Qt::DisplayRole), QVariant());
    }
};

// The panel's preview: follows the selection, loads off the main thread dropped once overtaken,
// beside the panel without taking the keyboard.
class PreviewWindowTest : public QObject {
    Q_OBJECT
    PanelFixture m_fixture;
private Q_SLOTS:
    void init() { QVERIFY(m_fixture.open()); }
    void cleanup() { m_fixture = {}; }
    void followsTheSelection_data() {
        addScenarioColumns();
        const QString shown = QStringLiteral("select:notes.txt key:Space ");
        row("Space shows", shown, "preview=~/notes.txt content=preview_of_~/notes.txt");
        row("selecting reloads", shown + "select:zeta.md", "content=preview_of_~/zeta.md");
        row("arrows reload", "select:alpha.txt key:Space key:Down", "preview=~/docs/beta.txt");
        row("typing", shown + "type:zeta", "preview=~/zeta.md content=preview_of_~/zeta.md");
        row("a folder empties it", shown + "select:docs", "preview=- content=empty");
        row("Space on a folder hides it", shown + "select:docs key:Space", "preview=hidden");
        row("closing the panel hides it", shown + "close", "preview=hidden");
    }
    void followsTheSelection() { m_fixture.playRow(); }
    void takesNoFocusAndStaysOnTheScreen() {
        m_fixture.run(QStringLiteral("select:notes.txt key:Space"));
        const PreviewWindow* preview = m_fixture.panel->previewWindow();
        QVERIFY(preview->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
        QVERIFY(preview->testAttribute(Qt::WA_ShowWithoutActivating));
        QCOMPARE(preview->focusPolicy(), Qt::NoFocus);
        QVERIFY(m_fixture.panel->screen()->availableGeometry().contains(preview->geometry()));
    }
    void overtakenLoadsAreDropped() {
        PreviewWindow window(&PanelFixture::previewOf);
        QSignalSpy shown(&window, &PreviewWindow::contentShown);
        window.showFile(QByteArray("/a"));
        window.showFile(QByteArray("/b"));
        QVERIFY(window.isLoading());
        QVERIFY(shown.wait(5000));
        QTest::qWait(100);
        QCOMPARE(shown.count(), 1);
        QCOMPARE(window.content().text, QStringLiteral("preview of /b"));
        window.showFile(QByteArray("/a"));
        window.showFile(std::nullopt);  // emptied at once; the load of /a must not come back
        QCOMPARE(window.content().kind, PreviewContent::Kind::empty);
        QTest::qWait(100);
        QCOMPARE(window.content().kind, PreviewContent::Kind::empty);
    }
    // On a 1600x1000 screen: right of the panel, else left, else over it; moved up to fit.
    void placedBesideThePanelOnItsScreen() {
        const int rows[][6] = {{300, 200, 640, 400, 952, 200},
                               {900, 200, 640, 400, 368, 200},
                               {100, 200, 1400, 400, 1080, 200},
                               {300, 700, 640, 200, 952, 400}};
        for (const auto& r : rows)
            QCOMPARE(previewRect({r[0], r[1], r[2], r[3]}, {0, 0, 1600, 1000}, {520, 600}),
                     QRect(r[4], r[5], 520, 600));
    }
};

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
        row("arrows, End and Home", "select:docs x:End x:Home x:Down,Down,Up", "dir=~ at=1");
    }
    void keys() { m_fixture.playRow(); }
    // Another client shrinks the shown panel (as a compositor's stale configure does under newer
    // Qt on Wayland): the panel takes its own size back.
    void resizedFromOutsideTakesItsSizeBack() {
        SearchPanel& panel = *m_fixture.panel;
        const QSize own = panel.size();
        const QString id = QString::number(panel.winId());
        const auto serverHeight = [&] {
            const auto lines = xserver::run({"getwindowgeometry", "--shell", id});
            for (const QByteArray& line : lines.value_or(QList<QByteArray>()))
                if (line.startsWith("HEIGHT=")) return line.mid(7).toInt();
            return -1;
        };
        QVERIFY(xserver::xdotool({"windowsize", id, QString::number(own.width()), "100"}));
        QCOMPARE(serverHeight(), 100);  // no event handled in between: shrunk for now
        QTRY_COMPARE(serverHeight(), own.height());
        QCOMPARE(panel.size(), own);
    }
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

TARNWICK_TEST(SearchPanelTest)
TARNWICK_TEST(PanelActionsTest)
TARNWICK_TEST(PreviewWindowTest)
TARNWICK_TEST(PanelX11Test)
#include "PanelTest.moc"
