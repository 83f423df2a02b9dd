#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

#include <optional>

namespace tarnwick {

// Fixed geometry of the panel, in device-independent pixels.
inline constexpr int kPanelWidth = 640;
inline constexpr int kConstructionHeight = 120;
inline constexpr int kRowHeight = 48;
inline constexpr int kRowPitch = kRowHeight + 1;  // a row and the line of space below it
inline constexpr int kMaxVisibleRows = 10;
// The panel's bottom edge at construction height sits this far above the middle of the screen.
inline constexpr int kRiseAboveMiddle = 100;
// Kept free on a screen where the compositor places the panel unseen: a bar or dock may take
// that much.
inline constexpr int kUnplacedMargin = 32;

// One screen as the placement sees it: the whole rectangle and the part free of panels and docks.
struct ScreenArea {
    QRect geometry;
    QRect available;
};

// The screen to open on: the first whose whole rectangle holds the pointer; else the primary
// screen (a pointer between screens); else the first; nothing when there are no screens.
std::optional<int> screenForPointer(const QList<ScreenArea>& screens, int primaryIndex,
                                    QPoint pointer);

// The panel's height for `resultCount` results: the chrome above the list plus one pitch per
// row, up to kMaxVisibleRows rows (the list scrolls beyond).
int panelHeightFor(qsizetype resultCount);

// Where the panel opens at construction height: centred horizontally in the available area,
// its bottom edge kRiseAboveMiddle above the area's middle.
QRect openingRect(const QRect& available);

// The panel resized to `height`, growing downward from the top edge of `current`. A panel that
// would run past the bottom of `available` moves up just enough, and never above its top; one
// taller than the whole area is cut to the area's height (the list scrolls).
QRect resizedKeepingTop(const QRect& current, int height, const QRect& available);

// Where Tarnwick can neither place its window nor learn where it is, the compositor places a new
// window at its first size wherever it likes (sway centres it, Weston picks a random spot that
// keeps it on screen) and keeps its top as it grows, so any growth may run off the screen. There
// the panel opens at its tallest, never taller than an area `areaHeight` high less `margin`,
// and keeps that height.
int unplacedPanelHeight(int areaHeight, int margin);

}  // namespace tarnwick
