#include "PanelFixture.h"
#include "panel/PanelLayout.h"
#include "panel/PanelPlacement.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using namespace tarnwick;
using namespace tarnwick::test;

// Where the panel opens and how it grows: the screen under the pointer, centred above the
// middle of its available area, its height from the results, kept inside the screen; and
// where its views go inside it.
class PlacementTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void screenForPointer_data() {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<int>("primary");
        QTest::addColumn<int>("chosen");
        row("first", QPoint(100, 100), 1, 0);
        row("second", QPoint(2500, 900), 0, 1);
        row("second's first pixel", QPoint(1920, 0), 0, 1);
        // The taller second screen leaves a gap below the first one.
        row("gap: primary", QPoint(640, 1100), 1, 1);
        row("gap: other primary", QPoint(640, 1100), 0, 0);
        row("gap: no primary", QPoint(640, 1100), -1, 0);
    }
    void screenForPointer() {
        QFETCH(QPoint, pointer);
        QFETCH(int, primary);
        QFETCH(int, chosen);
        const QList<ScreenArea> screens = {{{0, 0, 1920, 1080}, {0, 32, 1920, 1048}},
                                           {{1920, 0, 1920, 1200}, {1920, 0, 1920, 1136}}};
        QCOMPARE(tarnwick::screenForPointer(screens, primary, pointer), chosen);
        QCOMPARE(tarnwick::screenForPointer({}, 0, pointer), std::nullopt);
    }

    void opensCentredAboveTheMiddle() {
        // Available middle at (960, 556): the bottom edge 100 above it.
        QCOMPARE(openingRect({0, 32, 1920, 1048}), QRect(960 - 320, 556 - 100 - 120, 640, 120));
        QCOMPARE(openingRect({1920, 0, 1920, 1016}), QRect(2880 - 320, 508 - 100 - 120, 640, 120));
    }

    void heightFollowsResults_data() {
        QTest::addColumn<int>("results");
        QTest::addColumn<int>("height");
        row("none", 0, 131);
        row("one", 1, 180);
        row("three", 3, 278);
        row("ten", 10, 621);
        row("five hundred", 500, 621);
    }
    void heightFollowsResults() {
        QFETCH(int, results);
        QFETCH(int, height);
        QCOMPARE(panelHeightFor(results), height);
        // The result area holds the rows the height was made for, and no room for one more.
        const PanelLayout layout = panelLayout({kPanelWidth, height}, 80);
        const int rows = std::min(results, kMaxVisibleRows);
        QVERIFY(layout.results.height() >= rows * kRowPitch);
        QVERIFY(layout.results.height() < rows * kRowPitch + kRowHeight);
        QCOMPARE(layout.results.y() + layout.results.height(), height - 8);
    }

    void resizedKeepingTop_data() {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("current");
        QTest::addColumn<int>("height");
        QTest::addColumn<QRect>("resized");
        const QRect screen(1920, 0, 1920, 1016);
        const QRect opened = openingRect(screen);  // top 288
        row("grows down", screen, opened, 621, QRect(2560, 288, 640, 621));
        row("shrinks up", screen, QRect(2560, 288, 640, 621), 131, QRect(2560, 288, 640, 131));
        // 1024x600 with a 30 pixel bar: opening top 95, so the full height would end at 716.
        const QRect small(0, 30, 1024, 570);
        row("moved up and cut", small, openingRect(small), 621, QRect(192, 30, 640, 570));
        row("moved up", small, openingRect(small), 523, QRect(192, 77, 640, 523));
        row("dragged low", QRect(0, 0, 1920, 1080), QRect(500, 900, 640, 180), 621,
            QRect(500, 459, 640, 621));
    }
    void resizedKeepingTop() {
        QFETCH(QRect, available);
        QFETCH(QRect, current);
        QFETCH(int, height);
        QFETCH(QRect, resized);
        QCOMPARE(tarnwick::resizedKeepingTop(current, height, available), resized);
    }

    void viewsFollowTheMargins() {
        const PanelLayout layout = panelLayout({kPanelWidth, 621}, 80);
        QCOMPARE(layout.directoryLabel.topLeft(), QPoint(12, 10));
        QCOMPARE(layout.countLabel, QRect(kPanelWidth - 16 - 80, 10, 80, kDirectoryLabelHeight));
        QCOMPARE(layout.searchField, QRect(16, 10 + kDirectoryLabelHeight + 4, 608, 48));
        QCOMPARE(layout.pillRow.top(), layout.searchField.bottom() + 1 + 4);
        QCOMPARE(layout.pillRow.left(), 14);
        QCOMPARE(layout.pillRow.height(), 28);
        QCOMPARE(layout.sortButton.width(), 65);
        QCOMPARE(layout.sortButton.right() + 1, kPanelWidth - 14);
        QCOMPARE(layout.pillRow.right() + 1, layout.sortButton.left() - 8);
        QCOMPARE(layout.sortButton.center().y(), layout.pillRow.center().y());
        QCOMPARE(layout.separator, QRect(8, layout.pillRow.bottom() + 1 + 6, kPanelWidth - 16,
                                         layout.separator.height()));
        QCOMPARE(layout.results.top(), layout.separator.bottom() + 1 + 4);
        QCOMPARE(layout.results.width(), kPanelWidth);
        // A longer count narrows the folder label, never overlapping it.
        const PanelLayout wide = panelLayout({kPanelWidth, 131}, 240);
        QCOMPARE(layout.directoryLabel.width() - wide.directoryLabel.width(), 160);
        QVERIFY(wide.directoryLabel.right() < wide.countLabel.left());
        QCOMPARE(panelLayout({kPanelWidth, kConstructionHeight}, 60).results.height(), 0);
    }
};

TARNWICK_TEST(PlacementTest)
#include "PlacementTest.moc"
