#pragma once

#include <QRect>
#include <QSize>

namespace tarnwick {

// Heights the layout fixes (the rest follows from the panel's size).
inline constexpr int kDirectoryLabelHeight = 16;
inline constexpr int kSearchFieldHeight = 48;
inline constexpr int kPillRowHeight = 28;
inline constexpr int kSortButtonWidth = 65;
inline constexpr int kSortButtonHeight = 22;

// Where each view of the panel goes, in the panel's own coordinates, top to bottom: the folder
// and the count on one line, the search field, the pill row with the sort pop-up at its right,
// a separator, and the result list taking the height that remains.
struct PanelLayout {
    QRect directoryLabel;
    QRect countLabel;
    QRect searchField;
    QRect pillRow;
    QRect sortButton;
    QRect separator;
    QRect results;
};

// `countWidth`: the width the count's text needs; the folder's label gets what is left of
// the line.
PanelLayout panelLayout(QSize panel, int countWidth);

}  // namespace tarnwick
