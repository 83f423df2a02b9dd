#pragma once

#include "TabularDigits.h"

#include <QColor>
#include <QWidget>

#include <optional>

namespace tarnwick {

// One line of text in a fixed colour that never wraps: elided in the middle when too long, or,
// with tabular digits, drawn so that changing numbers keep their width.
class PanelLabel : public QWidget {
    Q_OBJECT
public:
    explicit PanelLabel(const QFont& font, QWidget* parent = nullptr);

    const QString& text() const { return m_text; }
    void setText(const QString& text);
    void setColor(const QColor& color);
    void setAlignment(Qt::Alignment alignment);
    void useTabularDigits();
    // The width the whole text needs.
    int textWidth() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    QColor m_color;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    std::optional<TabularDigits> m_digits;
};

}  // namespace tarnwick
