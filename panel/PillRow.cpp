#include "PillRow.h"

#include "PillButton.h"

#include <QHBoxLayout>
#include <QScrollBar>
#include <QWheelEvent>

namespace tarnwick {

PillRow::PillRow(QWidget* parent)
    : QScrollArea(parent), m_strip(new QWidget), m_layout(new QHBoxLayout(m_strip)) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::NoFocus);
    viewport()->setAutoFillBackground(false);
    m_strip->setAutoFillBackground(false);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(6);
    m_layout->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_layout->setSizeConstraint(QLayout::SetFixedSize);
    setWidget(m_strip);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void PillRow::setPills(const QList<PillState>& pills) {
    QList<Pill> wanted;
    for (const PillState& state : pills) wanted.append(state.pill);
    if (wanted != m_shown) rebuild(pills);
    for (int i = 0; i < m_buttons.size(); ++i) {
        const QSignalBlocker quiet(m_buttons[i]);
        m_buttons[i]->setChecked(pills[i].on);
    }
}

void PillRow::rebuild(const QList<PillState>& pills) {
    // The old buttons may be inside their own click right now: let them go later. The keyboard
    // focus stays at the same place in the row.
    int focused = -1;
    for (int i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i]->hasFocus()) focused = i;
    for (PillButton* button : std::as_const(m_buttons)) {
        m_layout->removeWidget(button);
        button->hide();
        button->deleteLater();
    }
    m_buttons.clear();
    m_shown.clear();
    for (int i = 0; i < pills.size(); ++i) {
        auto* button = new PillButton(pills[i].pill.title, m_strip);
        connect(button, &PillButton::clicked, this, [this, i] { Q_EMIT pillTapped(i); });
        m_layout->addWidget(button);
        m_buttons.append(button);
        m_shown.append(pills[i].pill);
    }
    m_strip->adjustSize();
    horizontalScrollBar()->setValue(0);
    if (focused >= 0 && !m_buttons.isEmpty())
        m_buttons.value(focused, m_buttons.last())->setFocus(Qt::TabFocusReason);
}

void PillRow::wheelEvent(QWheelEvent* event) {
    // A mouse wheel turns vertically; a trackpad may swipe either way. Both move the row.
    const QPoint pixels = event->pixelDelta();
    const QPoint angle = event->angleDelta();
    int delta = 0;
    if (!pixels.isNull()) {
        delta = std::abs(pixels.x()) > std::abs(pixels.y()) ? pixels.x() : pixels.y();
    } else {
        const int steps = std::abs(angle.x()) > std::abs(angle.y()) ? angle.x() : angle.y();
        delta = steps / 120 * 40 + (steps % 120) * 40 / 120;
    }
    QScrollBar* bar = horizontalScrollBar();
    bar->setValue(bar->value() - delta);
    event->setAccepted(bar->maximum() > 0);
}

}  // namespace tarnwick
