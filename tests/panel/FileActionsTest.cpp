#include "PanelFixture.h"
#include "core/FileUri.h"
#include "panel/ResultsModel.h"
#include "panel/ResultsTableView.h"
#include "tests/support/TestRunner.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>

using namespace tarnwick;
using namespace tarnwick::test;

static const QByteArray kOddName = "caf\xe9 #1.txt";  // Latin-1: not UTF-8
static const QByteArray kOddPath = PanelFixture::kRoot + "/" + kOddName;

// Open, reveal, copy and trash on the selected item, from the context menu, a double click or a
// drag; each acts on the item taken when the user asked.
class FileActionsTest : public QObject {
    Q_OBJECT
    PanelFixture m_fixture;
private Q_SLOTS:
    void init() { QVERIFY(m_fixture.open(PanelFixture::kTree + QList<QByteArray>{kOddName})); }
    void cleanup() { m_fixture = {}; }
    void actions_data() {
        addScenarioColumns();
        const char* copied =
            "text/uri-list,x-special/gnome-copied-files,x-special/mate-copied-files,"
            "application/x-kde-cutselection";
        row("open", "select:notes.txt open", "opened=~/notes.txt closed=yes");
        row("refused open", "refuse:gone select:notes.txt open", "opened=~/notes.txt closed=yes");
        row("nothing selected", "clip:x select:- open reveal revealclose copypath copyfile trash",
            "opened= revealed= trashed= clip=x closed=no");
        row("reveal", "select:alpha.txt reveal", "revealed=~/docs/alpha.txt closed=no");
        row("reveal, close", "select:alpha.txt revealclose",
            "revealed=~/docs/alpha.txt time=987654");
        row("copy path", "select:beta.txt copypath", "clip=~/docs/beta.txt formats=text/plain");
        row("copy file", "select:beta.txt copyfile", "formats=" + QString(copied) + " closed=no");
        row("trash keeps query and order", "type:e sort:2 select:notes.txt trash",
            "trashed=~/notes.txt names=beta.txt,zeta.md,readme.md field=e sort=Size count=3_of_6");
        row("trashed folder", "select:docs trash", "trashed=~/docs rows=4");
        row("menu", "select:0 menu:zeta.md",
            "row=zeta.md "
            "entries=Open,Reveal_in_File_Manager,-,Copy_Path,Copy_File,-,Move_to_Trash");
        row("menu beside the rows", "menu:-", "menu=none");
        row("menu Open", "menu:zeta.md entry:Open", "opened=~/zeta.md closed=yes");
        row("menu Reveal", "menu:notes.txt entry:Reveal_in_File_Manager", "revealed=~/notes.txt");
        row("menu Copy Path", "menu:beta.txt entry:Copy_Path", "clip=~/docs/beta.txt");
        row("menu Copy File", "menu:beta.txt entry:Copy_File", "formats=" + QString(copied));
        row("menu after a republication", "menu:zeta.md type:alpha entry:Move_to_Trash",
            "rows=1 trashed=~/zeta.md");
    }
    void actions() { m_fixture.playRow(); }
    void refusedTrashShowsTheMessageAndKeepsTheRow() {
        m_fixture.trash->outcome = {false, QStringLiteral("Unable to trash: Permission denied")};
        QString alertText;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (auto* alert = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                alertText = alert->text();
                alert->done(QMessageBox::Ok);
            }
        });
        poll.start(20);
        m_fixture.run(QStringLiteral("select:zeta.md trash"));
        QCOMPARE(alertText, QStringLiteral("Unable to trash: Permission denied"));
        m_fixture.expect(QStringLiteral("rows=7 row=zeta.md"));
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
    // Bytes that are not UTF-8 stay exact when copied, dragged and opened.
    void rowsDragTheirFilesAsACopy() {
        ResultsTableView* view = m_fixture.panel->resultsView();
        ResultsModel* model = m_fixture.panel->resultsModel();
        QCOMPARE(view->dragDropMode(), QAbstractItemView::DragOnly);
        QCOMPARE(view->defaultDropAction(), Qt::CopyAction);
        QCOMPARE(model->supportedDragActions(), Qt::CopyAction);
        const QModelIndex odd = model->index(m_fixture.rowOf(QString::fromUtf8(kOddName)));
        QVERIFY(model->flags(odd).testFlag(Qt::ItemIsDragEnabled) &&
                !model->flags({}).testFlag(Qt::ItemIsDragEnabled));
        std::unique_ptr<QMimeData> data(model->mimeData({odd}));
        QCOMPARE(data->data(QStringLiteral("text/uri-list")),
                 fileUriFromPath(kOddPath).toLatin1() + "\r\n");
        QCOMPARE(model->data(odd, Qt::DisplayRole).toString(), QString::fromUtf8(kOddName));
        view->selectRow(odd.row());
        m_fixture.panel->copySelectedPath();
        QCOMPARE(QApplication::clipboard()->mimeData()->data(QStringLiteral("text/plain")),
                 kOddPath);
        m_fixture.panel->openSelected();
        QCOMPARE(m_fixture.opener->opened, QList<QByteArray>{kOddPath});
        // An index kept from a longer list, and no index, give nothing.
        const QModelIndex last = model->index(model->rowCount() - 1);
        model->replaceItems(model->items().mid(0, model->rowCount() - 1));
        QCOMPARE(model->mimeData({last}), nullptr);
        QCOMPARE(model->data(last, Qt::DisplayRole), QVariant());
        QCOMPARE(model->data({}, Qt::DisplayRole), QVariant());
    }
};

TARNWICK_TEST(FileActionsTest)
#include "FileActionsTest.moc"
