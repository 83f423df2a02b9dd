#include "TabularDigits.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace tarnwick {

namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Calls `run(text, isDigit)` for each maximal piece of `text` made only of digits or of none.
template <typename Visitor>
void forEachRun(const QString& text, Visitor run) {
    qsizetype start = 0;
    while (start < text.size()) {
        const bool digits = isAsciiDigit(text[start]);
        qsizetype end = start + 1;
        while (end < text.size() && isAsciiDigit(text[end]) == digits) ++end;
        run(QStringView(text).mid(start, end - start), digits);
        start = end;
    }
}

}  // namespace

TabularDigits::TabularDigits(const QFont& font) : m_font(font) {
    const QFontMetrics metrics(font);
    int narrowest = metrics.horizontalAdvance(QChar(u'0'));
    for (char16_t d = u'0'; d <= u'9'; ++d) {
        const int advance = metrics.horizontalAdvance(QChar(d));
        m_digitAdvance = std::max(m_digitAdvance, advance);
        narrowest = std::min(narrowest, advance);
    }
    m_digitsAlreadyTabular = narrowest == m_digitAdvance;
}

int TabularDigits::width(const QString& text) const {
    const QFontMetrics metrics(m_font);
    if (m_digitsAlreadyTabular) return metrics.horizontalAdvance(text);
    int total = 0;
    forEachRun(text, [&](QStringView run, bool digits) {
        total +=
            digits ? int(run.size()) * m_digitAdvance : metrics.horizontalAdvance(run.toString());
    });
    return total;
}

void TabularDigits::draw(QPainter& painter, const QRect& rect, Qt::Alignment alignment,
                         const QString& text) const {
    painter.save();
    painter.setFont(m_font);
    if (m_digitsAlreadyTabular) {
        painter.drawText(rect, int(alignment | Qt::AlignVCenter), text);
        painter.restore();
        return;
    }
    const QFontMetrics metrics(m_font);
    int x = (alignment & Qt::AlignRight) ? rect.right() + 1 - width(text) : rect.left();
    const int baseline = rect.top() + (rect.height() - metrics.height()) / 2 + metrics.ascent();
    forEachRun(text, [&](QStringView run, bool digits) {
        if (!digits) {
            const QString piece = run.toString();
            painter.drawText(QPoint(x, baseline), piece);
            x += metrics.horizontalAdvance(piece);
            return;
        }
        for (QChar digit : run) {
            const int inset = (m_digitAdvance - metrics.horizontalAdvance(digit)) / 2;
            painter.drawText(QPoint(x + inset, baseline), QString(digit));
            x += m_digitAdvance;
        }
    });
    painter.restore();
}

}  // namespace tarnwick
