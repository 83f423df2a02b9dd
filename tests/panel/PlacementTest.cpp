#include "panel/PanelLayout.h"
#include "panel/PanelPlacement.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using namespace tarnwick;

// Where the panel opens, how it grows, and where its views go.
class PlacementTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The taller second screen leaves a gap below the first one, at (640, 1100).
    void screenForPointer() {
        const QList<ScreenArea> screens = {{{0, 0, 1920, 1080}, {0, 32, 1920, 1048}},
                                           {{1920, 0, 1920, 1200}, {1920, 0, 1920, 1136}}};
        const int rows[][4] = {{100, 100, 1, 0},  {2500, 900, 0, 1}, {1920, 0, 0, 1},
                               {640, 1100, 1, 1}, {640, 1100, 0, 0}, {640, 1100, -1, 0}};
        for (const auto& r : rows)
            QCOMPARE(tarnwick::screenForPointer(screens, r[2], {r[0], r[1]}), r[3]);
        QCOMPARE(tarnwick::screenForPointer({}, 0, {}), std::nullopt);
    }
    // Bottom edge 100 above the available middle (960, 556); grown from the top, moved up when low.
    void opensCentredAboveTheMiddleAndGrowsDown() {
        QCOMPARE(openingRect({0, 32, 1920, 1048}), QRect(960 - 320, 556 - 100 - 120, 640, 120));
        const QRect screen(1920, 0, 1920, 1016), small(0, 30, 1024, 570);
        QCOMPARE(openingRect(screen), QRect(2880 - 320, 508 - 100 - 120, 640, 120));
        const struct {
            QRect available, current;
            int height;
            QRect resized;
        } rows[] = {{screen, openingRect(screen), 621, {2560, 288, 640, 621}},
                    {screen, {2560, 288, 640, 621}, 131, {2560, 288, 640, 131}},
                    {small, openingRect(small), 621, {192, 30, 640, 570}},
                    {small, openingRect(small), 523, {192, 77, 640, 523}},
                    {{0, 0, 1920, 1080}, {500, 900, 640, 180}, 621, {500, 459, 640, 621}}};
        for (const auto& r : rows)
            QCOMPARE(resizedKeepingTop(r.current, r.height, r.available), r.resized);
    }
    // Gaps of 10, 4, 4, 6 and 4 from the top down, 8 at the bottom; 16, 14 or 8 from the sides.
    void viewsFollowTheMargins() {
        const PanelLayout l = panelLayout({kPanelWidth, 621}, 80);
        QCOMPARE((QList<QRect>{l.directoryLabel, l.countLabel, l.searchField, l.pillRow,
                               l.sortButton, l.separator, l.results}),
                 (QList<QRect>{{12, 10, 520, 16},
                               {544, 10, 80, 16},
                               {16, 30, 608, 48},
                               {14, 82, 539, 28},
                               {561, 85, 65, 22},
                               {8, 116, 624, 1},
                               {0, 121, 640, 492}}));
        // A longer count narrows the folder label, never overlapping it.
        QCOMPARE(panelLayout({kPanelWidth, 131}, 240).directoryLabel, QRect(12, 10, 360, 16));
        QCOMPARE(panelLayout({kPanelWidth, kConstructionHeight}, 60).results.height(), 0);
    }
};

TARNWICK_TEST(PlacementTest)
#include "PlacementTest.moc"
