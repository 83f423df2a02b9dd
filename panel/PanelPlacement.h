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
// Kept free below a panel its compositor placed unseen: a bar or dock may take that much.
inline constexpr int kCentredBottomMargin = 32;

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

// Where Tarnwick can neither place its window nor learn where it is, compositors centre a new
// window at its first height on an area `areaHeight` high and keep its top as it grows: the
// tallest it may then become is its first height plus the room left below it, less `margin`
// (never less than the first height).
int heightKeptOnScreenWhenCentred(int firstHeight, int areaHeight, int margin);

}  // namespace tarnwick
