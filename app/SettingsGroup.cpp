#include "SettingsGroup.h"

#include "SettingsStyle.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

constexpr int kRowHeight = 46;
constexpr double kCardRadius = 10;

// A hairline between rows, inset from the card's edges.
class RowSeparator : public QWidget {
public:
    RowSeparator() { setFixedHeight(1); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), settingsColors(palette()).separator);
    }
};

}  // namespace

void SettingsCard::paintEvent(QPaintEvent*) {
    const SettingsColors colors = settingsColors(palette());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colors.cardBorder, 1));
    painter.setBrush(colors.card);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kCardRadius,
                            kCardRadius);
}

SettingsGroup::SettingsGroup(const QString& title, QWidget* parent)
    : QWidget(parent), m_card(new SettingsCard), m_rows(new QVBoxLayout(m_card)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    if (!title.isEmpty()) {
        auto* heading = new QLabel(title);
        heading->setFont(scaledFont(font(), 1.0, QFont::Bold));
        heading->setContentsMargins(4, 0, 0, 0);
        layout->addWidget(heading);
    }
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(0);
    layout->addWidget(m_card);
}

SettingsGroup::Row SettingsGroup::addRow(const QString& label, QWidget* trailing,
                                         const QString& subtitle) {
    if (m_rows->count() > 0) m_rows->addWidget(new RowSeparator);
    auto* row = new QWidget;
    row->setMinimumHeight(kRowHeight);
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(14, 6, 12, 6);
    line->setSpacing(12);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* title = new QLabel(label);
    title->setTextFormat(Qt::PlainText);
    texts->addWidget(title);
    QLabel* small = nullptr;
    if (!subtitle.isEmpty()) {
        small = new QLabel(subtitle);
        small->setWordWrap(true);
        small->setFont(scaledFont(font(), 0.9));
        // The palette's dimmed text, which follows a change of theme by itself.
        small->setForegroundRole(QPalette::PlaceholderText);
        texts->addWidget(small);
    }
    line->addLayout(texts, 1);
    if (trailing) line->addWidget(trailing, 0, Qt::AlignVCenter);
    if (trailing) title->setBuddy(trailing);
    m_rows->addWidget(row);
    return {row, title, small};
}

}  // namespace tarnwick
