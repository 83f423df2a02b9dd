#pragma once

#include "IconCache.h"
#include "RelativeDate.h"
#include "ResultText.h"
#include "TabularDigits.h"

#include <QFont>
#include <QLocale>
#include <QStyledItemDelegate>

#include <functional>
#include <optional>

namespace tarnwick {

// Paints one result row: the type's icon, the name with the query's words marked, a second line
// (folder, type or content passage) and on the right the size and age. Keeps nothing per row, so
// a list of any length costs only what the visible rows need while they are drawn.
class FileResultCellView : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QuerySource = std::function<QString()>;
    // The passage to show for an item, asked while its row is drawn; never blocks.
    using SnippetSource = std::function<std::optional<QString>(const FileItem&)>;

    FileResultCellView(QuerySource query, SnippetSource snippet, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    struct Colors;
    void paintBackground(QPainter& painter, const QRect& row, const Colors& colors) const;
    void paintName(QPainter& painter, const QRect& rect, const FileItem& item,
                   const Colors& colors) const;
    void paintSecondLine(QPainter& painter, const QRect& rect, const FileItem& item,
                         const Colors& colors) const;
    // A line of text, elided to fit, with the query's words marked when `marked`.
    struct MarkedText {
        QString text;
        Qt::TextElideMode elision = Qt::ElideMiddle;
        bool marked = false;
    };
    void paintMarkedText(QPainter& painter, QPoint topLeft, int width, const QFont& font,
                         const MarkedText& text, const Colors& colors) const;
    QString ageOf(const FileItem& item) const;

    QuerySource m_query;
    SnippetSource m_snippet;
    QFont m_nameFont;
    QFont m_folderNameFont;
    QFont m_detailFont;
    TabularDigits m_metaDigits;
    QLocale m_locale;
    RelativeDateFormatter m_dates;
    mutable IconCache m_icons;
};

}  // namespace tarnwick
