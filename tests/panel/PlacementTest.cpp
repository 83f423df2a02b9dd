#include "panel/PanelLayout.h"
#include "panel/PanelPlacement.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using namespace tarnwick;

namespace {

// Two 1920x1080 screens side by side, a top bar of 32 on the first, a dock of 64 at the bottom
// of the second; the second is primary.
const QList<ScreenArea> kSideBySide = {
    {{0, 0, 1920, 1080}, {0, 32, 1920, 1048}},
    {{1920, 0, 1920, 1080}, {1920, 0, 1920, 1016}},
};

}  // namespace

class PlacementTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void screenUnderPointerWins() {
        QCOMPARE(screenForPointer(kSideBySide, 1, {100, 100}), 0);
        QCOMPARE(screenForPointer(kSideBySide, 0, {2500, 900}), 1);
        QCOMPARE(screenForPointer(kSideBySide, 0, {1920, 0}), 1);  // first pixel of the second
    }

    void pointerBetweenScreensFallsBackToPrimary() {
        // A taller second screen leaves a gap below the first one.
        const QList<ScreenArea> uneven = {{{0, 0, 1280, 800}, {0, 0, 1280, 800}},
                                          {{1280, 0, 1920, 1200}, {1280, 0, 1920, 1200}}};
        QCOMPARE(screenForPointer(uneven, 1, {640, 1000}), 1);
        QCOMPARE(screenForPointer(uneven, 0, {640, 1000}), 0);
        QCOMPARE(screenForPointer(uneven, -1, {640, 1000}), 0);  // no primary known: the first
    }

    void noScreenShowsNothing() { QCOMPARE(screenForPointer({}, 0, {0, 0}), std::nullopt); }

    void opensCentredAboveTheMiddle() {
        // Second screen: available middle at (2880, 508); bottom edge 100 above it.
        const QRect rect = openingRect(kSideBySide[1].available);
        QCOMPARE(rect, QRect(2880 - 320, 508 - 100 - 120, 640, 120));
        QCOMPARE(rect.y() + rect.height(), 408);
        const QRect first = openingRect(kSideBySide[0].available);
        QCOMPARE(first.center().x(), 960 - 1);  // QRect's centre rounds down on even widths
        QCOMPARE(first.y() + first.height(), 32 + 524 - 100);
    }

    void heightFollowsResults_data() {
        QTest::addColumn<int>("results");
        QTest::addColumn<int>("height");
        QTest::newRow("none") << 0 << 131;
        QTest::newRow("one") << 1 << 180;
        QTest::newRow("three") << 3 << 278;
        QTest::newRow("ten") << 10 << 621;
        QTest::newRow("five hundred") << 500 << 621;
    }
    void heightFollowsResults() {
        QFETCH(int, results);
        QFETCH(int, height);
        QCOMPARE(panelHeightFor(results), height);
    }

    void growsDownwardKeepingTop() {
        const QRect available = kSideBySide[1].available;
        const QRect opened = openingRect(available);
        const QRect grown = resizedKeepingTop(opened, 621, available);
        QCOMPARE(grown.topLeft(), opened.topLeft());
        QCOMPARE(grown.height(), 621);
        const QRect shrunk = resizedKeepingTop(grown, 131, available);
        QCOMPARE(shrunk.topLeft(), opened.topLeft());
        QCOMPARE(shrunk.height(), 131);
    }

    void staysInsideShortScreen() {
        // 1024x600 with a 30 pixel bar: opening top 95, so the full height would end at 716.
        const QRect available(0, 30, 1024, 570);
        const QRect opened = openingRect(available);
        QCOMPARE(opened.y(), 30 + 285 - 100 - 120);
        const QRect grown = resizedKeepingTop(opened, 621, available);
        QCOMPARE(grown.y() + grown.height(), 600);  // moved up just enough
        QCOMPARE(grown.height(), 570);              // and cut to the area: the list scrolls
        QCOMPARE(grown.y(), 30);
        const QRect medium = resizedKeepingTop(opened, 523, available);
        QCOMPARE(medium.height(), 523);
        QCOMPARE(medium.y() + medium.height(), 600);
        QVERIFY(medium.y() > 30);
    }

    void userMovedPanelLowStaysOnScreen() {
        const QRect available(0, 0, 1920, 1080);
        const QRect dragged(500, 900, 640, 180);
        const QRect grown = resizedKeepingTop(dragged, 621, available);
        QCOMPARE(grown.y() + grown.height(), 1080);
        QCOMPARE(grown.x(), 500);
    }
};

class LayoutTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void resultAreaHoldsTheRowsTheHeightWasMadeFor_data() {
        QTest::addColumn<int>("results");
        for (int n : {0, 1, 3, 10, 500}) QTest::newRow(qPrintable(QString::number(n))) << n;
    }
    void resultAreaHoldsTheRowsTheHeightWasMadeFor() {
        QFETCH(int, results);
        const int height = panelHeightFor(results);
        const PanelLayout layout = panelLayout({kPanelWidth, height}, 80);
        const int rows = std::min(results, kMaxVisibleRows);
        QVERIFY2(layout.results.height() >= rows * kRowPitch,
                 qPrintable(QString::number(layout.results.height())));
        // ... and no room for a further row, which would show the panel's background.
        QVERIFY(layout.results.height() < rows * kRowPitch + kRowHeight);
        QCOMPARE(layout.results.y() + layout.results.height(), height - 8);
    }

    void viewsFollowTheMargins() {
        const PanelLayout layout = panelLayout({kPanelWidth, 621}, 80);
        QCOMPARE(layout.directoryLabel.topLeft(), QPoint(12, 10));
        QCOMPARE(layout.countLabel.right() + 1, kPanelWidth - 16);
        QCOMPARE(layout.countLabel.center().y(), layout.directoryLabel.center().y());
        QCOMPARE(layout.searchField, QRect(16, 10 + kDirectoryLabelHeight + 4, 608, 48));
        QCOMPARE(layout.pillRow.top(), layout.searchField.bottom() + 1 + 4);
        QCOMPARE(layout.pillRow.left(), 14);
        QCOMPARE(layout.pillRow.height(), 28);
        QCOMPARE(layout.sortButton.width(), 65);
        QCOMPARE(layout.sortButton.right() + 1, kPanelWidth - 14);
        QCOMPARE(layout.pillRow.right() + 1, layout.sortButton.left() - 8);
        QCOMPARE(layout.sortButton.center().y(), layout.pillRow.center().y());
        QCOMPARE(layout.separator.top(), layout.pillRow.bottom() + 1 + 6);
        QCOMPARE(layout.separator.left(), 8);
        QCOMPARE(layout.separator.right() + 1, kPanelWidth - 8);
        QCOMPARE(layout.results.top(), layout.separator.bottom() + 1 + 4);
        QCOMPARE(layout.results.width(), kPanelWidth);
    }

    void longCountNarrowsTheFolderLabel() {
        const PanelLayout narrow = panelLayout({kPanelWidth, 131}, 40);
        const PanelLayout wide = panelLayout({kPanelWidth, 131}, 240);
        QCOMPARE(wide.countLabel.width(), 240);
        QCOMPARE(narrow.directoryLabel.width() - wide.directoryLabel.width(), 200);
        QVERIFY(wide.directoryLabel.right() < wide.countLabel.left());
    }

    void constructionHeightLeavesNoNegativeList() {
        const PanelLayout layout = panelLayout({kPanelWidth, kConstructionHeight}, 60);
        QCOMPARE(layout.results.height(), 0);
    }
};

TARNWICK_TEST(PlacementTest)
TARNWICK_TEST(LayoutTest)
#include "PlacementTest.moc"
