#include "core/ExtensionKey.h"
#include "panel/PanelLabel.h"
#include "panel/PanelPlacement.h"
#include "panel/PillButton.h"
#include "panel/PillRow.h"
#include "panel/ResultsModel.h"
#include "panel/ResultsTableView.h"
#include "panel/SearchPanel.h"
#include "tests/support/TestRunner.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace tarnwick;

namespace {

const QByteArray kFolder = "/srv/projects";

// A session whose listing is `files` (names below kFolder) and `folders`, made up on the spot:
// nothing is read from disk and no index is asked.
SearchSession::Dependencies listing(QList<QByteArray> files, QList<QByteArray> folders = {}) {
    SearchSession::Dependencies deps;
    deps.filterDebounceMs = 0;
    deps.lister = [files, folders](const QByteArray& folder, const std::atomic<bool>*) {
        QList<FileItem> items;
        for (const QByteArray& name : folders)
            items.append(FileItem::fromPath(folder + "/" + name, folder, true, 0, 1000));
        for (const QByteArray& name : files)
            items.append(FileItem::fromPath(folder + "/" + name, folder, false, 100, 1000));
        return items;
    };
    return deps;
}

QList<QByteArray> numberedFiles(int count, const char* extension = "txt") {
    QList<QByteArray> names;
    for (int i = 0; i < count; ++i)
        names.append("file" + QByteArray::number(i) + "." + QByteArray(extension));
    return names;
}

// Waits for the first publication of results.
bool waitForResults(SearchPanel& panel) {
    QSignalSpy published(&panel.session(), &SearchSession::resultsReplaced);
    return published.wait(5000);
}

}  // namespace

class SearchPanelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void constructionBuildsTheViews() {
        SearchPanel panel(kFolder, listing({}));
        QCOMPARE(panel.panelRect().size(), QSize(640, 120));
        const Qt::WindowFlags flags = panel.windowFlags();
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QCOMPARE(panel.searchField()->placeholderText(), QStringLiteral("Filter files\u2026"));
        QCOMPARE(panel.directoryLabel()->text(), QStringLiteral("  projects"));
        QCOMPARE(panel.sortButton()->count(), 3);
        QCOMPARE(panel.sortButton()->itemText(0), QStringLiteral("Name"));
        QCOMPARE(panel.sortButton()->itemText(1), QStringLiteral("Date"));
        QCOMPARE(panel.sortButton()->itemText(2), QStringLiteral("Size"));
        QCOMPARE(panel.sortButton()->currentIndex(), 0);
        QCOMPARE(panel.sortButton()->width(), 65);
        QCOMPARE(panel.searchField()->height(), 48);
        QVERIFY(!panel.isVisible());  // built, not shown
    }

    void heightFollowsPublishedResults_data() {
        QTest::addColumn<int>("count");
        for (int n : {0, 1, 3, 10, 500}) QTest::newRow(qPrintable(QString::number(n))) << n;
    }
    void heightFollowsPublishedResults() {
        QFETCH(int, count);
        SearchPanel panel(kFolder, listing(numberedFiles(count)));
        QVERIFY(waitForResults(panel));
        QCOMPARE(panel.resultsModel()->rowCount(), count);
        QCOMPARE(panel.panelRect().height(), panelHeightFor(count));
        // Every row the height was made for is visible, without a scroll bar below ten.
        const int visible = std::min(count, kMaxVisibleRows);
        QVERIFY(panel.resultsView()->height() >= visible * kRowPitch);
    }

    void firstRowSelectedAndCountShown() {
        SearchPanel panel(kFolder, listing(numberedFiles(4)));
        QVERIFY(waitForResults(panel));
        QCOMPARE(panel.resultsView()->selectedRow(), 0);
        QCOMPARE(panel.countLabel()->text(), panel.session().countText());
        QVERIFY(!panel.countLabel()->text().isEmpty());
    }

    void typingReachesTheSearch() {
        SearchPanel panel(kFolder, listing({"alpha.txt", "beta.txt", "alphabet.md"}));
        QVERIFY(waitForResults(panel));
        QSignalSpy published(&panel.session(), &SearchSession::resultsReplaced);
        QTest::keyClicks(panel.searchField(), QStringLiteral("alph"));
        QCOMPARE(panel.session().query(), QStringLiteral("alph"));
        QTRY_COMPARE(panel.resultsModel()->rowCount(), 2);
        QVERIFY(panel.panelRect().height() == panelHeightFor(2));
    }

    void programmaticTextIsNotAQuery() {
        SearchPanel panel(kFolder, listing({"alpha.txt", "beta.txt"}));
        QVERIFY(waitForResults(panel));
        panel.searchField()->setText(QStringLiteral("beta"));
        QCOMPARE(panel.session().query(), QString());
        QTest::qWait(50);
        QCOMPARE(panel.resultsModel()->rowCount(), 2);
    }

    void pillsShowTheSessionsStateAndForwardTaps() {
        SearchPanel panel(kFolder, listing({"a.pdf", "b.pdf", "c.png"}, {"sub"}));
        QVERIFY(waitForResults(panel));
        PillRow* row = panel.pillRow();
        QCOMPARE(row->pillCount(), panel.session().pills().size());
        QCOMPARE(row->pillCount(), 4);  // All, PDF (2), PNG (1), Folders
        QCOMPARE(row->pillAt(0)->text(), QStringLiteral("All"));
        QCOMPARE(row->pillAt(1)->text(), QStringLiteral("PDF (2)"));
        QVERIFY(row->pillAt(0)->isChecked());

        QTest::mouseClick(row->pillAt(1), Qt::LeftButton);
        QVERIFY(panel.session().selectedExtensions().contains(QStringLiteral("pdf")));
        QVERIFY(row->pillAt(1)->isChecked());
        QVERIFY(!row->pillAt(0)->isChecked());
        QTRY_COMPARE(panel.resultsModel()->rowCount(), 2);

        // "All" while on stays on (the session says so, whatever the button did).
        QTest::mouseClick(row->pillAt(0), Qt::LeftButton);
        QTest::mouseClick(row->pillAt(0), Qt::LeftButton);
        QVERIFY(row->pillAt(0)->isChecked());
        QVERIFY(panel.session().selectedExtensions().isEmpty());
        QTRY_COMPARE(panel.resultsModel()->rowCount(), 4);
    }

    void sortChoiceReachesTheSession() {
        SearchPanel panel(kFolder, listing({"a.txt"}));
        QVERIFY(waitForResults(panel));
        panel.sortButton()->setCurrentIndex(2);
        Q_EMIT panel.sortButton()->activated(2);
        QCOMPARE(panel.session().sortMode(), SortMode::size);
    }

    void snippetRepaintsOnlyItsRow() {
        SearchPanel panel(kFolder, listing(numberedFiles(5)));
        QVERIFY(waitForResults(panel));
        QSignalSpy changed(panel.resultsModel(), &ResultsModel::dataChanged);
        QSignalSpy reset(panel.resultsModel(), &ResultsModel::modelReset);
        Q_EMIT panel.session().snippetReady(3);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(0).toModelIndex().row(), 3);
        QCOMPARE(changed.first().at(1).toModelIndex().row(), 3);
        QCOMPARE(reset.count(), 0);
    }

    void enteringAFolderEmptiesTheFieldAndRenamesTheLabel() {
        SearchPanel panel(kFolder, listing({"a.txt"}, {"docs"}));
        QVERIFY(waitForResults(panel));
        QTest::keyClicks(panel.searchField(), QStringLiteral("do"));
        panel.session().enterFolder(kFolder + "/docs");
        QCOMPARE(panel.searchField()->text(), QString());
        QCOMPARE(panel.directoryLabel()->text(), QStringLiteral("  projects/docs"));
    }

    void showsOnScreenAndKeepsItInside() {
        SearchPanel panel(kFolder, listing(numberedFiles(30)));
        panel.show();
        const QRect available = panel.screen()->availableGeometry();
        const QRect opened = panel.panelRect();
        QCOMPARE(opened, openingRect(available));
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QTRY_COMPARE(panel.resultsModel()->rowCount(), 30);
        // Grown from the top edge, or moved up on a screen too short for it (offscreen: 600).
        QCOMPARE(panel.panelRect(), resizedKeepingTop(opened, panelHeightFor(30), available));
        QVERIFY(available.contains(panel.panelRect()));
        QCOMPARE(QApplication::focusWidget(), panel.searchField());
    }

    void escapeClosesForGood() {
        SearchPanel panel(kFolder, listing(numberedFiles(3)));
        QSignalSpy closed(&panel, &SearchPanel::panelClosed);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QTest::keyClick(panel.searchField(), Qt::Key_Escape);
        QCOMPARE(closed.count(), 1);
        QVERIFY(!panel.isVisible());
        QVERIFY(panel.isClosed());
        QVERIFY(panel.session().isClosed());
        panel.show();
        QVERIFY(!panel.isVisible());
        panel.close();
        QCOMPARE(closed.count(), 1);
    }

    void otherKeysReachTheField() {
        SearchPanel panel(kFolder, listing({}));
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QTest::keyClick(panel.searchField(), Qt::Key_A);
        QCOMPARE(panel.searchField()->text(), QStringLiteral("a"));
        QVERIFY(!panel.isClosed());
    }

    void closingBeforeShowingStopsTheSearch() {
        SearchPanel panel(kFolder, listing(numberedFiles(3)));
        panel.close();
        QVERIFY(panel.session().isClosed());
        panel.show();
        QVERIFY(!panel.isVisible());
    }

    void rowsAreDrawnWithoutPerRowWidgets() {
        SearchPanel panel(kFolder, listing(numberedFiles(200)));
        panel.show();
        QTRY_COMPARE(panel.resultsModel()->rowCount(), 200);
        QTest::keyClicks(panel.searchField(), QStringLiteral("file1"));
        QTRY_VERIFY(panel.resultsModel()->rowCount() > 10);
        // Paints every visible row through the delegate (icons, highlights, meta line).
        const QImage image = panel.grab().toImage();
        QVERIFY(!image.isNull());
        QCOMPARE(panel.resultsView()->viewport()->findChildren<QWidget*>().size(), 0);
    }

    // Long lists are laid out a part at a time; a selection kept far down a newly published list
    // is still brought into view at once, and the rest of the list follows for scrolling.
    void longListsKeepDeepSelectionsInView() {
        const int rows = 12000;
        SearchPanel panel(kFolder, listing(numberedFiles(rows)));
        panel.show();
        QTRY_COMPARE(panel.resultsModel()->rowCount(), rows);
        ResultsTableView* view = panel.resultsView();

        const int deep = rows - 5;
        panel.resultsModel()->replaceItems(panel.session().filteredItems());
        view->selectRow(deep);
        QCOMPARE(view->selectedRow(), deep);
        const QRect selected = view->visualRect(panel.resultsModel()->index(deep, 0));
        QVERIFY(view->viewport()->rect().contains(selected.center()));

        panel.resultsModel()->replaceItems(panel.session().filteredItems());
        view->selectRow(0);
        const QModelIndex last = panel.resultsModel()->index(rows - 1, 0);
        QScrollBar* bar = view->verticalScrollBar();
        const auto scrolledToTheLastRow = [&] {
            bar->setValue(bar->maximum());
            return view->viewport()->rect().intersects(view->visualRect(last));
        };
        QTRY_VERIFY(scrolledToTheLastRow());
    }
};

TARNWICK_TEST(SearchPanelTest)
#include "SearchPanelTest.moc"
