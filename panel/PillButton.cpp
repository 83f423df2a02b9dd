#include "PillButton.h"

#include "KeyModifiers.h"
#include "PanelStyle.h"

#include <QPainter>
#include <QPainterPath>

namespace tarnwick {

namespace {

constexpr int kPillHeight = 22;
constexpr int kHorizontalPadding = 10;

}  // namespace

PillButton::PillButton(const QString& title, QWidget* parent) : QAbstractButton(parent) {
    setText(title);
    setCheckable(true);
    setFont(panelFont(11, QFont::Medium));
    setFocusPolicy(Qt::TabFocus);  // a click leaves the keyboard in the search field
    setCursor(Qt::PointingHandCursor);
}

QSize PillButton::sizeHint() const {
    return QSize(fontMetrics().horizontalAdvance(text()) + 2 * kHorizontalPadding, kPillHeight);
}

void PillButton::paintEvent(QPaintEvent*) {
    const PanelColors colors = panelColors(palette());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF capsule = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = capsule.height() / 2;
    QPainterPath shape;
    shape.addRoundedRect(capsule, radius, radius);
    if (isChecked() || isDown()) {
        painter.fillPath(shape, colors.pillOn);
    } else if (m_hovered) {
        painter.fillPath(shape, colors.hover);
    }
    if (hasFocus()) {
        // Inside the capsule: the strip around the pills clips anything outside it.
        const QRectF ring = capsule.adjusted(1, 1, -1, -1);
        painter.setPen(QPen(colors.accent, kFocusRingWidth));
        painter.drawRoundedRect(ring, ring.height() / 2, ring.height() / 2);
    }
    painter.setPen(isChecked() ? colors.label : colors.secondaryLabel);
    painter.drawText(rect(), Qt::AlignCenter, text());
}

void PillButton::keyPressEvent(QKeyEvent* event) {
    // Return flips a pill as Space does, rather than opening the selected file behind it.
    if (isReturnKey(*event) && meaningfulModifiers(*event) == Qt::NoModifier) {
        click();
        return event->accept();
    }
    QAbstractButton::keyPressEvent(event);
}

void PillButton::enterEvent(QEnterEvent* event) {
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PillButton::leaveEvent(QEvent* event) {
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

}  // namespace tarnwick
