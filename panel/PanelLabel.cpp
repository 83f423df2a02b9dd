#include "PanelLabel.h"

#include <QPainter>

namespace tarnwick {

PanelLabel::PanelLabel(const QFont& font, QWidget* parent) : QWidget(parent) {
    setFont(font);
    setAttribute(Qt::WA_TransparentForMouseEvents);  // the panel is dragged by its labels too
}

void PanelLabel::setText(const QString& text) {
    if (text == m_text) return;
    m_text = text;
    // Its accessible name, so that a screen reader hears the change (a count that moved).
    setAccessibleName(text.trimmed());
    updateGeometry();
    update();
}

void PanelLabel::setColor(const QColor& color) {
    m_color = color;
    update();
}

void PanelLabel::setAlignment(Qt::Alignment alignment) {
    m_alignment = alignment;
    update();
}

void PanelLabel::useTabularDigits() {
    m_digits.emplace(font());
    updateGeometry();
    update();
}

int PanelLabel::textWidth() const {
    return m_digits ? m_digits->width(m_text) : fontMetrics().horizontalAdvance(m_text);
}

QSize PanelLabel::sizeHint() const {
    return QSize(textWidth(), fontMetrics().height());
}

void PanelLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(m_color);
    if (m_digits) {
        m_digits->draw(painter, rect(), m_alignment, m_text);
        return;
    }
    const QString shown = fontMetrics().elidedText(m_text, Qt::ElideMiddle, width());
    painter.drawText(rect(), int(m_alignment | Qt::AlignVCenter), shown);
}

}  // namespace tarnwick
