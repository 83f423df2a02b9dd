#include "FileResultCellView.h"

#include "PanelPlacement.h"
#include "PanelStyle.h"
#include "ResultsModel.h"
#include "core/ContentMatch.h"

#include <QDateTime>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <algorithm>

namespace tarnwick {

namespace {

constexpr int kIconSize = 28;
constexpr int kIconLeft = 12;
constexpr int kTextLeft = kIconLeft + kIconSize + 10;
constexpr int kMetaRightInset = 14;
constexpr int kMetaMinWidth = 70;
constexpr int kGap = 10;
constexpr int kNameTop = 6;
constexpr int kSelectionInset = 6;
constexpr qreal kSelectionRadius = 6;
constexpr qreal kFocusRingGap = 2;

// Control characters (a newline in a name, line breaks in a passage) drawn as blanks, one for
// one, so that positions in the text stay valid.
QString singleLine(QString text) {
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control) c = QChar(u' ');
    return text;
}

}  // namespace

struct FileResultCellView::Colors {
    QColor name, nameMarkText, nameMarkWash, snippet, location, meta, selection;
    bool selected = false;
    QColor focusRing;  // invalid: the list has no keyboard focus
};

FileResultCellView::FileResultCellView(QuerySource query, SnippetSource snippet, QObject* parent)
    : QStyledItemDelegate(parent),
      m_query(std::move(query)),
      m_snippet(std::move(snippet)),
      m_nameFont(panelFont(14)),
      m_folderNameFont(panelFont(14, QFont::Medium)),
      m_detailFont(panelFont(11)),
      m_metaDigits(m_detailFont),
      m_icons(QSize(kIconSize, kIconSize)) {}

QSize FileResultCellView::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return QSize(option.rect.width(), kRowPitch);
}

void FileResultCellView::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const auto* model = qobject_cast<const ResultsModel*>(index.model());
    if (!model || index.row() >= model->rowCount()) return;
    const FileItem item = model->attributedItemAt(index.row());
    const QRect row(option.rect.left(), option.rect.top(), option.rect.width(), kRowHeight);

    const PanelColors palette = panelColors(option.palette);
    Colors colors;
    colors.selected = option.state & QStyle::State_Selected;
    // The list has the keyboard focus; on the selection's accent fill its ring takes the
    // selected text's colour.
    const bool focused = option.state & QStyle::State_HasFocus;
    if (colors.selected) {
        QColor dimmed = palette.selectedText;
        dimmed.setAlphaF(0.78f);
        colors = {palette.selectedText,
                  palette.selectedText,
                  palette.selectedWash,
                  dimmed,
                  dimmed,
                  dimmed,
                  palette.selection,
                  true,
                  focused ? palette.selectedText : QColor()};
    } else {
        colors = {palette.label,
                  palette.accent,
                  palette.accentWash,
                  palette.secondaryLabel,
                  palette.tertiaryLabel,
                  palette.tertiaryLabel,
                  palette.selection,
                  false,
                  focused ? palette.accent : QColor()};
    }

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    paintBackground(*painter, row, colors);

    const QRect iconRect(row.left() + kIconLeft, row.top() + (kRowHeight - kIconSize) / 2,
                         kIconSize, kIconSize);
    m_icons.iconFor(item).paint(painter, iconRect);

    const QString meta = metaText(item, ageOf(item), m_locale);
    const int metaWidth = std::max(kMetaMinWidth, m_metaDigits.width(meta));
    const QRect metaRect(row.right() + 1 - kMetaRightInset - metaWidth, row.top(), metaWidth,
                         kRowHeight);
    painter->setPen(colors.meta);
    m_metaDigits.draw(*painter, metaRect, Qt::AlignRight, meta);

    const int textRight = metaRect.left() - kGap;
    const QRect textRect(row.left() + kTextLeft, row.top(), textRight - row.left() - kTextLeft,
                         kRowHeight);
    paintName(*painter, textRect, item, colors);
    paintSecondLine(*painter, textRect, item, colors);
    painter->restore();
}

void FileResultCellView::paintBackground(QPainter& painter, const QRect& row,
                                         const Colors& colors) const {
    const QRectF shape = QRectF(row.adjusted(kSelectionInset, 0, -kSelectionInset, 0));
    QPainterPath path;
    path.addRoundedRect(shape, kSelectionRadius, kSelectionRadius);
    if (colors.selected) painter.fillPath(path, colors.selection);
    if (!colors.focusRing.isValid()) return;
    // The list was reached with Tab: a ring just inside the row's shape, clear of its edge, so
    // that it shows on the selection's fill as well as without one.
    const qreal inset = kFocusRingGap + kFocusRingWidth / 2;
    painter.setPen(QPen(colors.focusRing, kFocusRingWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(shape.adjusted(inset, inset, -inset, -inset), kSelectionRadius - inset,
                            kSelectionRadius - inset);
}

void FileResultCellView::paintName(QPainter& painter, const QRect& rect, const FileItem& item,
                                   const Colors& colors) const {
    const QFont& font = item.isDirectory() ? m_folderNameFont : m_nameFont;
    painter.setPen(colors.name);
    paintMarkedText(painter, QPoint(rect.left(), rect.top() + kNameTop), rect.width(), font,
                    {singleLine(item.name()), Qt::ElideMiddle, true}, colors);
}

void FileResultCellView::paintSecondLine(QPainter& painter, const QRect& rect, const FileItem& item,
                                         const Colors& colors) const {
    const SecondLine line = secondLine(item, m_snippet ? m_snippet(item) : std::nullopt);
    const QFontMetrics nameMetrics(item.isDirectory() ? m_folderNameFont : m_nameFont);
    const int top = rect.top() + kNameTop + nameMetrics.height() + 1;
    // A passage shows why the file matched, so its query words are marked as in names; the
    // placeholder shown while it is read has nothing of the query in it.
    const bool marked = line.tone == SecondLine::snippet && line.text != contentMatchText();
    painter.setPen(line.tone == SecondLine::snippet ? colors.snippet : colors.location);
    paintMarkedText(painter, QPoint(rect.left(), top), rect.width(), m_detailFont,
                    {singleLine(line.text), Qt::ElideLeft, marked}, colors);
}

void FileResultCellView::paintMarkedText(QPainter& painter, QPoint topLeft, int width,
                                         const QFont& font, const MarkedText& text,
                                         const Colors& colors) const {
    const QString shown = QFontMetrics(font).elidedText(text.text, text.elision, width);
    QList<TextRange> marks;
    if (text.marked) {
        marks = highlightRanges(text.text, m_query ? m_query() : QString());
        if (shown != text.text) {
            const std::optional<ElisionCut> cut = middleElisionCut(text.text, shown);
            marks =
                cut ? rangesAfterElision(marks, int(text.text.size()), *cut) : QList<TextRange>();
        }
    }
    QList<QTextLayout::FormatRange> formats;
    for (const TextRange& mark : marks) {
        QTextLayout::FormatRange format;
        format.start = mark.start;
        format.length = mark.length;
        format.format.setBackground(colors.nameMarkWash);
        format.format.setForeground(colors.nameMarkText);
        formats.append(format);
    }

    QTextLayout layout(shown, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(width);
    layout.endLayout();
    layout.draw(&painter, topLeft, formats);
}

QString FileResultCellView::ageOf(const FileItem& item) const {
    const std::optional<QDateTime> modified = item.modified();
    if (!modified) return {};
    return m_dates.format(*modified, QDateTime::currentDateTime());
}

}  // namespace tarnwick
