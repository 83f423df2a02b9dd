#pragma once

#include "RelativeDate.h"
#include "core/FileItem.h"
#include "core/Results.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QLocale>
#include <QMimeDatabase>

#include <functional>
#include <optional>

namespace tarnwick {

// The result rows: a shared copy of the session's published results (rows pointing into the
// listing, so even a million rows cost nothing extra), and the items of the rows painted since,
// with their sizes and dates. A row's accessible text is its whole reading (name, passage or
// folder, kind, size, age), built only when asked.
class ResultsModel : public QAbstractListModel {
    Q_OBJECT
public:
    // The passage a content row shows, when it has one yet; never blocks.
    using PassageSource = std::function<std::optional<QString>(const FileItem&)>;

    explicit ResultsModel(PassageSource passage = {}, QObject* parent = nullptr);

    void replaceItems(const Results& items);
    // Asks the views to draw this one row again (its snippet arrived).
    void rowChanged(int row);

    const Results& items() const { return m_items; }
    const FileItem& itemAt(int row) const { return m_items.at(row); }
    // The row's item with its size and date read: only rows being painted pay for a stat, once
    // per publication (a file may have changed since the last).
    FileItem attributedItemAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Rows dragged out carry their files' URIs (built from the path bytes), as a copy.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;

private:
    QString readingOf(const FileItem& item) const;

    Results m_items;
    // The painted rows' items with their attributes: the listing itself is shared with filter
    // runs on other threads and never written.
    mutable QHash<int, FileItem> m_attributed;
    PassageSource m_passage;
    QLocale m_locale;
    RelativeDateFormatter m_dates;
    QMimeDatabase m_mimeTypes;
};

}  // namespace tarnwick
