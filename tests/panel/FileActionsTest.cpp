#include "PanelFixture.h"
#include "core/FileUri.h"
#include "panel/PanelLabel.h"
#include "panel/ResultsModel.h"
#include "panel/ResultsTableView.h"
#include "tests/support/TestRunner.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

const QByteArray kOddName = "caf\xe9 #1.txt";  // Latin-1: not UTF-8
const QList<QByteArray> kTree = {"docs/",  "docs/alpha.txt", "docs/beta.txt", "notes.txt",
                                 kOddName, "zeta.md",        "big.log"};

QByteArray pathOf(const QByteArray& relative) {
    return PanelFixture::kRoot + "/" + relative;
}

// What a window system delivers for a double click: press, release, press, double click,
// release (QTest's own double click leaves out the second press).
void doubleClick(QWidget* widget, QPoint at) {
    QTest::mousePress(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
    QTest::mousePress(widget, Qt::LeftButton, {}, at);
    QMouseEvent second(QEvent::MouseButtonDblClick, at, widget->mapToGlobal(at), Qt::LeftButton,
                       Qt::LeftButton, {});
    QApplication::sendEvent(widget, &second);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

// Dismisses the next modal alert, keeping its text.
class AlertCatcher : public QObject {
public:
    QString text;
    void armed() {
        QTimer::singleShot(20, this, [this] { dismiss(); });
    }

private:
    void dismiss() {
        auto* alert = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!alert) return armed();
        text = alert->text();
        alert->done(QMessageBox::Ok);
    }
};

}  // namespace

// Open, reveal, copy and trash on the selected item, the context menu, double click and drag.
class FileActionsTest : public QObject {
    Q_OBJECT

    PanelFixture m_fixture;
    SearchPanel& panel() { return *m_fixture.panel; }
    int rowOf(const QByteArray& name) const { return m_fixture.rowOf(name); }
    QPoint centreOfRow(int row) {
        return panel().resultsView()->visualRect(panel().resultsModel()->index(row)).center();
    }
    QStringList menuEntries() {
        QStringList entries;
        for (const QAction* action : panel().contextMenu()->actions()) {
            entries.append(action->isSeparator() ? QStringLiteral("-") : action->text());
            if (!action->shortcut().isEmpty()) entries.last() += QStringLiteral(" (shortcut)");
        }
        return entries;
    }
    QAction* menuEntry(const QString& text) {
        for (QAction* action : panel().contextMenu()->actions())
            if (action->text() == text) return action;
        return nullptr;
    }

private Q_SLOTS:
    void init() { QVERIFY(m_fixture.open(kTree)); }
    void cleanup() { m_fixture.panel.reset(); }

    void openPassesTheExactBytesAndCloses() {
        m_fixture.select(rowOf(kOddName));
        panel().openSelected();
        QCOMPARE(m_fixture.opener->opened, QList<QByteArray>{pathOf(kOddName)});
        QVERIFY(panel().isClosed());
    }

    void failedOpenStillCloses() {
        m_fixture.opener->refusal = QStringLiteral("Error when getting information: No such file");
        m_fixture.select(rowOf("notes.txt"));
        panel().openSelected();
        QCOMPARE(m_fixture.opener->opened.size(), 1);
        QVERIFY(panel().isClosed());
    }

    void everyActionWithoutSelectionDoesNothing() {
        QApplication::clipboard()->setText(QStringLiteral("before"));
        m_fixture.select(-1);
        panel().openSelected();
        panel().revealSelected();
        panel().revealSelectedAndClose(0);
        panel().copySelectedPath();
        panel().copySelectedFile();
        panel().trashSelected();
        QVERIFY(m_fixture.opener->opened.isEmpty());
        QVERIFY(m_fixture.reveal->revealed.isEmpty());
        QVERIFY(m_fixture.trash->trashed.isEmpty());
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
        QVERIFY(!panel().isClosed());
    }

    void revealLeavesThePanelOpen() {
        m_fixture.select(rowOf("alpha.txt"));
        panel().revealSelected();
        QCOMPARE(m_fixture.reveal->revealed, QList<QByteArray>{pathOf("docs/alpha.txt")});
        QVERIFY(!panel().isClosed());
    }

    void revealAndCloseCarriesTheUserTime() {
        m_fixture.select(rowOf("alpha.txt"));
        panel().revealSelectedAndClose(987654);
        QVERIFY(panel().isClosed());
        QCOMPARE(m_fixture.reveal->startupIds.size(), 1);
        QVERIFY(m_fixture.reveal->startupIds.first().endsWith(u"_TIME987654"));
    }

    void copyPathIsTheFullPathNotTheRelativeOne() {
        m_fixture.select(rowOf("beta.txt"));
        panel().copySelectedPath();
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QCOMPARE(data->formats(), QStringList{QStringLiteral("text/plain")});
        QCOMPARE(data->data(QStringLiteral("text/plain")), pathOf("docs/beta.txt"));
    }

    void copyPathKeepsBytesThatAreNotUtf8() {
        m_fixture.select(rowOf(kOddName));
        panel().copySelectedPath();
        QCOMPARE(QApplication::clipboard()->mimeData()->data(QStringLiteral("text/plain")),
                 pathOf(kOddName));
    }

    void copyFileHoldsOnlyTheFile() {
        m_fixture.select(rowOf(kOddName));
        panel().copySelectedFile();
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(!data->hasFormat(QStringLiteral("text/plain")));
        const QByteArray uri = fileUriFromPath(pathOf(kOddName)).toLatin1();
        QCOMPARE(data->data(QStringLiteral("text/uri-list")), uri + "\r\n");
        QCOMPARE(data->data(QStringLiteral("x-special/gnome-copied-files")), "copy\n" + uri);
        QVERIFY(!panel().isClosed());
    }

    void trashRemovesTheRowAndKeepsQueryAndOrder() {
        QTest::keyClicks(panel().searchField(), QStringLiteral("t"));
        QTRY_VERIFY(panel().session().query() == u"t" && m_fixture.rowNames().size() == 5);
        panel().sortButton()->setCurrentIndex(2);
        Q_EMIT panel().sortButton()->activated(2);  // by size
        QTest::qWait(20);
        QStringList expected = m_fixture.rowNames();
        const QString countBefore = panel().countLabel()->text();
        m_fixture.select(rowOf("notes.txt"));
        panel().trashSelected();
        QCOMPARE(m_fixture.trash->trashed, QList<QByteArray>{pathOf("notes.txt")});
        expected.removeOne(QStringLiteral("notes.txt"));
        QTRY_COMPARE(m_fixture.rowNames(), expected);
        QCOMPARE(panel().searchField()->text(), QStringLiteral("t"));
        QCOMPARE(panel().session().sortMode(), SortMode::size);
        QVERIFY(panel().countLabel()->text() != countBefore);
        QVERIFY(!panel().isClosed());
    }

    void trashedFolderTakesWhatIsBelowIt() {
        m_fixture.select(rowOf("docs"));
        panel().trashSelected();
        QVERIFY(m_fixture.waitForRows(4));
        for (const char* gone : {"docs", "alpha.txt", "beta.txt"})
            QVERIFY(!m_fixture.rowNames().contains(QString::fromUtf8(gone)));
    }

    void refusedTrashShowsTheMessageAndKeepsTheRow() {
        m_fixture.trash->outcome = {false,
                                    QStringLiteral("Unable to trash file: Permission denied")};
        m_fixture.select(rowOf("zeta.md"));
        AlertCatcher alert;
        alert.armed();
        panel().trashSelected();
        QCOMPARE(alert.text, QStringLiteral("Unable to trash file: Permission denied"));
        QTest::qWait(20);
        QCOMPARE(panel().resultsModel()->rowCount(), 7);
        QVERIFY(m_fixture.rowNames().contains(QStringLiteral("zeta.md")));
    }

    void rightClickSelectsTheRowAndOffersTheEntriesInOrder() {
        m_fixture.select(0);
        const int row = rowOf("zeta.md");
        QWidget* viewport = panel().resultsView()->viewport();
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, centreOfRow(row),
                                     viewport->mapToGlobal(centreOfRow(row)));
        QApplication::sendEvent(viewport, &rightClick);
        QVERIFY(panel().contextMenu());
        QCOMPARE(m_fixture.selectedRow(), row);
        QCOMPARE(menuEntries(),
                 (QStringList{QStringLiteral("Open"), QStringLiteral("Reveal in File Manager"),
                              QStringLiteral("-"), QStringLiteral("Copy Path"),
                              QStringLiteral("Copy File"), QStringLiteral("-"),
                              QStringLiteral("Move to Trash")}));
    }

    void rightClickBesideTheRowsShowsNoMenu() {
        ResultsTableView* view = panel().resultsView();
        const QRect last = view->visualRect(panel().resultsModel()->index(6));
        panel().showContextMenu(QPoint(last.left() + 4, last.bottom() + 40));
        QVERIFY(!panel().contextMenu());
    }

    void menuActsOnTheRowItOpenedOnAfterARepublication() {
        const int row = rowOf("zeta.md");
        panel().showContextMenu(centreOfRow(row));
        QVERIFY(panel().contextMenu());
        QTest::keyClicks(panel().searchField(), QStringLiteral("alpha"));
        QVERIFY(m_fixture.waitForRows(1));
        QAction* trash = menuEntry(QStringLiteral("Move to Trash"));
        QVERIFY(trash);
        trash->trigger();
        QCOMPARE(m_fixture.trash->trashed, QList<QByteArray>{pathOf("zeta.md")});
    }

    void menuEntriesReachTheirActions() {
        panel().showContextMenu(centreOfRow(rowOf("notes.txt")));
        menuEntry(QStringLiteral("Reveal in File Manager"))->trigger();
        QCOMPARE(m_fixture.reveal->revealed, QList<QByteArray>{pathOf("notes.txt")});
        QVERIFY(!panel().isClosed());

        panel().showContextMenu(centreOfRow(rowOf("beta.txt")));
        menuEntry(QStringLiteral("Copy Path"))->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf8(pathOf("docs/beta.txt")));

        panel().showContextMenu(centreOfRow(rowOf("beta.txt")));
        menuEntry(QStringLiteral("Copy File"))->trigger();
        QVERIFY(QApplication::clipboard()->mimeData()->hasFormat(
            QStringLiteral("x-special/gnome-copied-files")));

        panel().showContextMenu(centreOfRow(rowOf("zeta.md")));
        menuEntry(QStringLiteral("Open"))->trigger();
        QCOMPARE(m_fixture.opener->opened, QList<QByteArray>{pathOf("zeta.md")});
        QVERIFY(panel().isClosed());
    }

    void doubleClickOpensAndCloses() {
        const int row = rowOf("notes.txt");
        doubleClick(panel().resultsView()->viewport(), centreOfRow(row));
        QCOMPARE(m_fixture.opener->opened, QList<QByteArray>{pathOf("notes.txt")});
        QVERIFY(panel().isClosed());
    }

    void draggedRowsCarryTheirFilesAsACopy() {
        ResultsTableView* view = panel().resultsView();
        ResultsModel* model = panel().resultsModel();
        QVERIFY(view->dragEnabled());
        QVERIFY(!view->acceptDrops());
        QCOMPARE(view->dragDropMode(), QAbstractItemView::DragOnly);
        QCOMPARE(view->defaultDropAction(), Qt::CopyAction);
        QCOMPARE(model->supportedDragActions(), Qt::CopyAction);
        const QModelIndex odd = model->index(rowOf(kOddName));
        QVERIFY(model->flags(odd).testFlag(Qt::ItemIsDragEnabled));
        std::unique_ptr<QMimeData> data(model->mimeData({odd}));
        QVERIFY(data);
        const QByteArray uris = data->data(QStringLiteral("text/uri-list"));
        QCOMPARE(uris, fileUriFromPath(pathOf(kOddName)).toLatin1() + "\r\n");
        QCOMPARE(pathFromFileUri(uris.trimmed()), pathOf(kOddName));
    }
};

TARNWICK_TEST(FileActionsTest)
#include "FileActionsTest.moc"
