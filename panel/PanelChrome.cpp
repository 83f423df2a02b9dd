#include "PanelChrome.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>

namespace tarnwick {

namespace {

QPainterPath roundedBody(const QRectF& rect, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

void paintShadow(QPainter& painter, const QRect& body) {
    // Nested rounded rectangles whose opacities add up towards the body: a cheap blur.
    constexpr int kDrop = 3;
    constexpr double kStrength = 150.0 / kShadowMargin;
    painter.setPen(Qt::NoPen);
    for (int spread = kShadowMargin; spread >= 1; --spread) {
        const double fade = 1.0 - double(spread) / kShadowMargin;
        const int alpha = int(kStrength * fade * fade + 0.5);
        if (alpha == 0) continue;
        const QRectF layer =
            QRectF(body).adjusted(-spread, -spread + kDrop, spread, spread + kDrop);
        painter.fillPath(roundedBody(layer, kCornerRadius + spread), QColor(0, 0, 0, alpha));
    }
}

}  // namespace

void paintPanelChrome(QPainter& painter, const QRect& body, const PanelColors& colors,
                      bool withShadow) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (withShadow) paintShadow(painter, body);
    const QRectF outline = QRectF(body).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath shape = roundedBody(outline, kCornerRadius);
    painter.fillPath(shape, colors.background);
    painter.setPen(QPen(colors.outline, 1));
    painter.drawPath(shape);
    painter.restore();
}

QRegion panelShape(const QSize& size) {
    QBitmap mask(size);
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::color1);
    painter.drawRoundedRect(QRect(QPoint(0, 0), size), kCornerRadius, kCornerRadius);
    painter.end();
    return QRegion(mask);
}

}  // namespace tarnwick
