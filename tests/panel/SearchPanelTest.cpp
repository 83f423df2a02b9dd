#include "PanelFixture.h"
#include "panel/PanelLabel.h"
#include "panel/PanelPlacement.h"
#include "panel/PillButton.h"
#include "panel/PillRow.h"
#include "panel/ResultsModel.h"
#include "panel/ResultsTableView.h"
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

// A panel that is built but not shown, once its first results are in.
std::unique_ptr<SearchPanel> unshownPanel(const QList<QByteArray>& entries) {
    auto panel =
        std::make_unique<SearchPanel>(PanelFixture::kRoot, PanelFixture::madeUpTree(entries));
    QSignalSpy published(&panel->session(), &SearchSession::resultsReplaced);
    return published.wait(5000) ? std::move(panel) : nullptr;
}

}  // namespace

// The panel's views fed by its search session, and its window: built, shown, sized, closed.
class SearchPanelTest : public QObject {
    Q_OBJECT
    PanelFixture m_fixture;

private Q_SLOTS:
    void cleanup() { m_fixture = {}; }

    void constructionBuildsTheViews() {
        SearchPanel panel(PanelFixture::kRoot, PanelFixture::madeUpTree({}));
        QCOMPARE(panel.panelRect().size(), QSize(640, 120));
        QCOMPARE(panel.windowFlags() &
                     (Qt::WindowType_Mask | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
                 Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        QCOMPARE(panel.searchField()->placeholderText(), QStringLiteral("Filter files\u2026"));
        QCOMPARE(panel.searchField()->height(), 48);
        QCOMPARE(panel.directoryLabel()->text(), QStringLiteral("  projects"));
        QComboBox* sort = panel.sortButton();
        QCOMPARE(sort->count(), 3);
        QCOMPARE(sort->itemText(0) + sort->itemText(1) + sort->itemText(2), u"NameDateSize");
        QCOMPARE(sort->currentIndex(), 0);
        QCOMPARE(sort->width(), 65);
        QVERIFY(!panel.isVisible());
        panel.close();  // before showing: the search stops and the panel never shows
        QVERIFY(panel.session().isClosed());
        panel.show();
        QVERIFY(!panel.isVisible());
    }

    void heightAndSelectionFollowPublishedResults_data() {
        QTest::addColumn<int>("count");
        for (int n : {0, 1, 3, 10, 500}) QTest::newRow(qPrintable(QString::number(n))) << n;
    }
    void heightAndSelectionFollowPublishedResults() {
        QFETCH(int, count);
        const std::unique_ptr<SearchPanel> panel = unshownPanel(numberedFiles(count));
        QVERIFY(panel);
        QCOMPARE(panel->resultsModel()->rowCount(), count);
        QCOMPARE(panel->panelRect().height(), panelHeightFor(count));
        QVERIFY(panel->resultsView()->height() >= std::min(count, kMaxVisibleRows) * kRowPitch);
        QCOMPARE(panel->resultsView()->selectedRow(), count > 0 ? 0 : -1);
        QCOMPARE(panel->countLabel()->text(), panel->session().countText());
        QVERIFY(!panel->countLabel()->text().isEmpty());
    }

    void typingReachesTheSearchAndSetTextDoesNot() {
        QVERIFY(m_fixture.open({"alpha.txt", "beta.txt", "alphabet.md"}));
        m_fixture.panel->searchField()->setText(QStringLiteral("beta"));
        QTest::qWait(50);
        QCOMPARE(m_fixture.state(QStringLiteral("rows=")), QStringLiteral("rows=3"));
        m_fixture.panel->searchField()->clear();
        m_fixture.run(QStringLiteral("type:alph"));
        QCOMPARE(m_fixture.panel->session().query(), QStringLiteral("alph"));
        QCOMPARE(m_fixture.state(QStringLiteral("rows=")), QStringLiteral("rows=2"));
        QCOMPARE(m_fixture.panel->panelRect().height(), panelHeightFor(2));
    }

    void pillsShowTheSessionsStateAndForwardTaps() {
        QVERIFY(m_fixture.open({"a.pdf", "b.pdf", "c.png", "sub/"}));
        PillRow* row = m_fixture.panel->pillRow();
        QCOMPARE(row->pillCount(), 4);  // All, PDF (2), PNG (1), Folders
        QCOMPARE(row->pillAt(0)->text() + u'|' + row->pillAt(1)->text(), u"All|PDF (2)");
        QVERIFY(row->pillAt(0)->isChecked());
        QTest::mouseClick(row->pillAt(1), Qt::LeftButton);
        QVERIFY(m_fixture.panel->session().selectedExtensions().contains(QStringLiteral("pdf")));
        QVERIFY(row->pillAt(1)->isChecked() && !row->pillAt(0)->isChecked());
        QTRY_COMPARE(m_fixture.panel->resultsModel()->rowCount(), 2);
        // "All" while on stays on (the session says so, whatever the button did).
        QTest::mouseClick(row->pillAt(0), Qt::LeftButton);
        QTest::mouseClick(row->pillAt(0), Qt::LeftButton);
        QVERIFY(row->pillAt(0)->isChecked());
        QVERIFY(m_fixture.panel->session().selectedExtensions().isEmpty());
        QTRY_COMPARE(m_fixture.panel->resultsModel()->rowCount(), 4);
    }

    void snippetRepaintsOnlyItsRow() {
        QVERIFY(m_fixture.open(numberedFiles(5)));
        QSignalSpy changed(m_fixture.panel->resultsModel(), &ResultsModel::dataChanged);
        QSignalSpy reset(m_fixture.panel->resultsModel(), &ResultsModel::modelReset);
        Q_EMIT m_fixture.panel->session().snippetReady(3);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(0).toModelIndex().row(), 3);
        QCOMPARE(changed.first().at(1).toModelIndex().row(), 3);
        QCOMPARE(reset.count(), 0);
    }

    // Grown from the top edge, or moved up on a screen too short for it (offscreen: 600), and
    // drawn through the delegate without a widget per row.
    void showsOnScreenAndKeepsItInside() {
        QVERIFY(m_fixture.open(numberedFiles(30)));
        SearchPanel& panel = *m_fixture.panel;
        const QRect available = panel.screen()->availableGeometry();
        QCOMPARE(panel.panelRect(),
                 resizedKeepingTop(openingRect(available), panelHeightFor(30), available));
        QVERIFY(available.contains(panel.panelRect()));
        QCOMPARE(QApplication::focusWidget(), panel.searchField());
        m_fixture.run(QStringLiteral("type:file1"));  // rows with marks
        QVERIFY(!panel.grab().toImage().isNull());
        QCOMPARE(panel.resultsView()->viewport()->findChildren<QWidget*>().size(), 0);
    }

    void escapeClosesForGood() {
        QVERIFY(m_fixture.open());
        QSignalSpy closed(m_fixture.panel.get(), &SearchPanel::panelClosed);
        m_fixture.run(QStringLiteral("key:Escape"));
        QCOMPARE(closed.count(), 1);
        QVERIFY(!m_fixture.panel->isVisible() && m_fixture.panel->session().isClosed());
        m_fixture.panel->show();
        QVERIFY(!m_fixture.panel->isVisible());
        m_fixture.panel->close();
        QCOMPARE(closed.count(), 1);
    }

    // Long lists are laid out a part at a time; a selection kept far down a newly published list
    // is still brought into view at once, and the rest of the list follows for scrolling.
    void longListsKeepDeepSelectionsInView() {
        const int rows = 12000;
        QVERIFY(m_fixture.open(numberedFiles(rows)));
        ResultsTableView* view = m_fixture.panel->resultsView();
        ResultsModel* model = m_fixture.panel->resultsModel();
        model->replaceItems(m_fixture.panel->session().filteredItems());
        view->selectRow(rows - 5);
        QCOMPARE(view->selectedRow(), rows - 5);
        QVERIFY(
            view->viewport()->rect().contains(view->visualRect(model->index(rows - 5)).center()));
        model->replaceItems(m_fixture.panel->session().filteredItems());
        view->selectRow(0);
        QScrollBar* bar = view->verticalScrollBar();
        const auto lastRowShown = [&] {
            bar->setValue(bar->maximum());
            return view->viewport()->rect().intersects(view->visualRect(model->index(rows - 1)));
        };
        QTRY_VERIFY(lastRowShown());
    }
};

TARNWICK_TEST(SearchPanelTest)
#include "SearchPanelTest.moc"
