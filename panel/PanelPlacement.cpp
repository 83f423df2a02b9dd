#include "PanelPlacement.h"

#include <algorithm>

namespace tarnwick {

std::optional<int> screenForPointer(const QList<ScreenArea>& screens, int primaryIndex,
                                    QPoint pointer) {
    if (screens.isEmpty()) return std::nullopt;
    for (int i = 0; i < screens.size(); ++i)
        if (screens[i].geometry.contains(pointer)) return i;
    if (primaryIndex >= 0 && primaryIndex < screens.size()) return primaryIndex;
    return 0;
}

int panelHeightFor(qsizetype resultCount) {
    constexpr int kChrome = 131;
    return kChrome + kRowPitch * int(std::min<qsizetype>(resultCount, kMaxVisibleRows));
}

QRect openingRect(const QRect& available) {
    const int centreX = available.x() + available.width() / 2;
    const int centreY = available.y() + available.height() / 2;
    const int bottom = centreY - kRiseAboveMiddle;
    return QRect(centreX - kPanelWidth / 2, bottom - kConstructionHeight, kPanelWidth,
                 kConstructionHeight);
}

QRect resizedKeepingTop(const QRect& current, int height, const QRect& available) {
    QRect rect(current.x(), current.y(), current.width(), height);
    if (available.isEmpty()) return rect;
    rect.setHeight(std::min(height, available.height()));
    const int overshoot = rect.y() + rect.height() - (available.y() + available.height());
    if (overshoot > 0) rect.moveTop(std::max(available.y(), rect.y() - overshoot));
    return rect;
}

int unplacedPanelHeight(int areaHeight, int margin) {
    return std::max(kConstructionHeight,
                    std::min(panelHeightFor(kMaxVisibleRows), areaHeight - margin));
}

}  // namespace tarnwick
