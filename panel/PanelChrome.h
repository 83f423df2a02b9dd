#pragma once

#include "PanelStyle.h"

#include <QRect>
#include <QRegion>

class QPainter;

namespace tarnwick {

inline constexpr int kCornerRadius = 12;
// Room around the panel for its shadow, where windows can be translucent.
inline constexpr int kShadowMargin = 18;

// Paints the panel's rounded body with a thin outline and, when `withShadow`, a soft shadow
// falling a little below it into the margin around `body`.
void paintPanelChrome(QPainter& painter, const QRect& body, const PanelColors& colors,
                      bool withShadow);

// The rounded body as a window shape, for displays that cannot blend transparent corners.
QRegion panelShape(const QSize& size);

}  // namespace tarnwick
