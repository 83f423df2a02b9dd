#pragma once

#include "RelativeDate.h"
#include "core/FileItem.h"

#include <QAbstractListModel>
#include <QList>
#include <QLocale>
#include <QMimeDatabase>

#include <functional>
#include <optional>

namespace tarnwick {

// The result rows: a shared copy of the session's published list (copying a QList shares its
// data, so even a million rows cost nothing extra) and nothing per row. A row's accessible text
// is its whole reading (name, passage or folder, kind, size, age), built only when asked.
class ResultsModel : public QAbstractListModel {
    Q_OBJECT
public:
    // The passage a content row shows, when it has one yet; never blocks.
    using PassageSource = std::function<std::optional<QString>(const FileItem&)>;

    explicit ResultsModel(PassageSource passage = {}, QObject* parent = nullptr);

    void replaceItems(const QList<FileItem>& items);
    // Asks the views to draw this one row again (its snippet arrived).
    void rowChanged(int row);

    const QList<FileItem>& items() const { return m_items; }
    const FileItem& itemAt(int row) const { return m_items.at(row); }
    // The row's item with its size and date read: only rows being painted pay for a stat, once.
    const FileItem& attributedItemAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Rows dragged out carry their files' URIs (built from the path bytes), as a copy.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;

private:
    QString readingOf(const FileItem& item) const;

    QList<FileItem> m_items;
    PassageSource m_passage;
    QLocale m_locale;
    RelativeDateFormatter m_dates;
    QMimeDatabase m_mimeTypes;
};

}  // namespace tarnwick
