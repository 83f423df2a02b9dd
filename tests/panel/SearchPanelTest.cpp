#include "PanelFixture.h"
#include "panel/PanelLabel.h"
#include "panel/PanelLayout.h"
#include "panel/PanelPlacement.h"
#include "tests/support/TestRunner.h"

#include <QApplication>
#include <QComboBox>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

QList<QByteArray> numberedFiles(int count) {
    QList<QByteArray> names;
    for (int i = 0; i < count; ++i) names.append("file" + QByteArray::number(i) + ".txt");
    return names;
}

}  // namespace

// The panel's views fed by its search session, and its window: built, shown, sized, closed.
class SearchPanelTest : public QObject {
    Q_OBJECT
    PanelFixture m_fixture;
private Q_SLOTS:
    void cleanup() { m_fixture = {}; }
    void constructionBuildsTheViewsAndClosingBeforeShowingStops() {
        SearchPanel panel(PanelFixture::kRoot, PanelFixture::madeUpTree({}));
        QCOMPARE(panel.panelRect().size(), QSize(640, 120));
        QCOMPARE(panel.windowFlags() &
                     (Qt::WindowType_Mask | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
                 Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        QCOMPARE(panel.searchField()->placeholderText(), QStringLiteral("Filter files\u2026"));
        QCOMPARE(panel.searchField()->height(), 48);
        QCOMPARE(panel.directoryLabel()->text(), QStringLiteral("  projects"));
        QComboBox* sort = panel.sortButton();
        QCOMPARE(sort->itemText(0) + sort->itemText(1) + sort->itemText(2), u"NameDateSize");
        QCOMPARE((QList<int>{sort->count(), sort->currentIndex(), sort->width()}),
                 (QList<int>{3, 0, 65}));
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

TARNWICK_TEST(SearchPanelTest)
#include "SearchPanelTest.moc"
