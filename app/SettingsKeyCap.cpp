#include "SettingsKeyCap.h"

#include "SettingsStyle.h"

#include <QEvent>
#include <QFontDatabase>
#include <QPainter>

namespace tarnwick {

namespace {

constexpr int kHorizontalInset = 8;
constexpr int kVerticalInset = 4;
constexpr double kCornerRadius = 5;

}  // namespace

SettingsKeyCap::SettingsKeyCap(const QString& keys, QWidget* parent) : QLabel(keys, parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignCenter);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    applyFont();
}

void SettingsKeyCap::applyFont() {
    // Body size, monospaced design, as the rows' labels are sized.
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QFont body = QWidget::font();
    if (body.pointSizeF() > 0)
        font.setPointSizeF(body.pointSizeF());
    else
        font.setPixelSize(body.pixelSize());
    font.setWeight(QFont::Normal);
    QLabel::setFont(font);
}

QSize SettingsKeyCap::sizeHint() const {
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(text()) + 2 * kHorizontalInset,
                 metrics.height() + 2 * kVerticalInset);
}

void SettingsKeyCap::paintEvent(QPaintEvent*) {
    const SettingsColors colors = settingsColors(palette());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QSize cap = sizeHint();
    const QRectF box(QPointF(width() - cap.width(), (height() - cap.height()) / 2.0), cap);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colors.keyCapFill);
    painter.drawRoundedRect(box, kCornerRadius, kCornerRadius);
    painter.setPen(colors.secondaryText);
    painter.setFont(font());
    painter.drawText(box, Qt::AlignCenter, text());
}

void SettingsKeyCap::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::ApplicationFontChange) applyFont();
}

}  // namespace tarnwick
