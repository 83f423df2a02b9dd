#include "SettingsSwitch.h"

#include "SettingsStyle.h"

#include <QKeyEvent>
#include <QPainter>
#include <QSignalBlocker>

namespace tarnwick {

namespace {

constexpr int kTrackWidth = 42;
constexpr int kTrackHeight = 24;
constexpr int kKnobInset = 3;

QColor blend(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(float(a.redF() + t * (b.redF() - a.redF())),
                            float(a.greenF() + t * (b.greenF() - a.greenF())),
                            float(a.blueF() + t * (b.blueF() - a.blueF())),
                            float(a.alphaF() + t * (b.alphaF() - a.alphaF())));
}

}  // namespace

SettingsSwitch::SettingsSwitch(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_knob.setDuration(140);
    m_knob.setEasingCurve(QEasingCurve::OutCubic);
    m_knob.setStartValue(0.0);
    m_knob.setEndValue(0.0);
    connect(&m_knob, &QVariantAnimation::valueChanged, this, [this] { update(); });
    connect(this, &QAbstractButton::toggled, this, &SettingsSwitch::animateTo);
}

QSize SettingsSwitch::sizeHint() const {
    return {kTrackWidth + 4, kTrackHeight + 4};
}

void SettingsSwitch::showState(bool on) {
    const QSignalBlocker blocker(this);
    setChecked(on);
    m_knob.stop();
    m_knob.setStartValue(on ? 1.0 : 0.0);
    m_knob.setEndValue(on ? 1.0 : 0.0);
    update();
}

void SettingsSwitch::animateTo(bool on) {
    const double from = m_knob.state() == QAbstractAnimation::Running
                            ? m_knob.currentValue().toDouble()
                            : m_knob.endValue().toDouble();
    m_knob.stop();
    m_knob.setStartValue(from);
    m_knob.setEndValue(on ? 1.0 : 0.0);
    m_knob.start();
}

bool SettingsSwitch::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void SettingsSwitch::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void SettingsSwitch::paintEvent(QPaintEvent*) {
    const SettingsColors colors = settingsColors(palette());
    const double t = m_knob.state() == QAbstractAnimation::Running
                         ? m_knob.currentValue().toDouble()
                         : (isChecked() ? 1.0 : 0.0);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track(QPointF((width() - kTrackWidth) / 2.0, (height() - kTrackHeight) / 2.0),
                       QSizeF(kTrackWidth, kTrackHeight));
    if (hasFocus()) {
        painter.setPen(QPen(colors.focusRing, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(track.adjusted(-1.5, -1.5, 1.5, 1.5), kTrackHeight / 2.0 + 1.5,
                                kTrackHeight / 2.0 + 1.5);
    }
    QColor trackColor = blend(colors.switchOff, colors.switchOn, t);
    if (!isEnabled()) trackColor.setAlphaF(trackColor.alphaF() * 0.5f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(trackColor);
    painter.drawRoundedRect(track, kTrackHeight / 2.0, kTrackHeight / 2.0);

    const double knobSize = kTrackHeight - 2 * kKnobInset;
    const double travel = kTrackWidth - 2 * kKnobInset - knobSize;
    const QRectF knob(track.left() + kKnobInset + t * travel, track.top() + kKnobInset, knobSize,
                      knobSize);
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawEllipse(knob.translated(0, 0.8));
    painter.setBrush(colors.switchKnob);
    painter.drawEllipse(knob);
}

}  // namespace tarnwick
