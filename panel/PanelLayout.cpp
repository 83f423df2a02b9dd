#include "PanelLayout.h"

#include <algorithm>

namespace tarnwick {

PanelLayout panelLayout(QSize panel, int countWidth) {
    const int width = panel.width();
    PanelLayout layout;

    const int labelTop = 10;
    const int countRight = width - 16;
    layout.countLabel = QRect(countRight - countWidth, labelTop, countWidth, kDirectoryLabelHeight);
    const int directoryLeft = 12;
    const int directoryRight = std::max(directoryLeft, layout.countLabel.left() - 12);
    layout.directoryLabel =
        QRect(directoryLeft, labelTop, directoryRight - directoryLeft, kDirectoryLabelHeight);

    const int fieldTop = labelTop + kDirectoryLabelHeight + 4;
    layout.searchField = QRect(16, fieldTop, width - 32, kSearchFieldHeight);

    const int pillTop = fieldTop + kSearchFieldHeight + 4;
    const int sortLeft = width - 14 - kSortButtonWidth;
    layout.sortButton = QRect(sortLeft, pillTop + (kPillRowHeight - kSortButtonHeight) / 2,
                              kSortButtonWidth, kSortButtonHeight);
    layout.pillRow = QRect(14, pillTop, std::max(0, sortLeft - 8 - 14), kPillRowHeight);

    const int separatorTop = pillTop + kPillRowHeight + 6;
    layout.separator = QRect(8, separatorTop, width - 16, 1);

    const int resultsTop = separatorTop + 1 + 4;
    layout.results = QRect(0, resultsTop, width, std::max(0, panel.height() - 8 - resultsTop));
    return layout;
}

}  // namespace tarnwick
