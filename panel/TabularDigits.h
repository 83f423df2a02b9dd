#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

namespace tarnwick {

// Text whose digits each take the width of the widest digit, so that a changing count keeps its
// width and sizes and ages line up in a column. Qt 6.4 cannot switch a font's tabular figures on
// (no font features before 6.6), and a monospaced font would clash with the labels around it;
// fonts whose digits are already tabular (DejaVu Sans, Noto Sans, Cantarell) are drawn as is.
class TabularDigits {
public:
    explicit TabularDigits(const QFont& font);

    int width(const QString& text) const;
    // Draws `text` vertically centred in `rect`, left- or right-aligned (Qt::AlignRight).
    void draw(QPainter& painter, const QRect& rect, Qt::Alignment alignment,
              const QString& text) const;

private:
    QFont m_font;
    int m_digitAdvance = 0;
    bool m_digitsAlreadyTabular = true;
};

}  // namespace tarnwick
