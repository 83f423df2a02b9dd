#pragma once

#include "core/FileItem.h"

#include <QAbstractListModel>
#include <QList>

namespace tarnwick {

// The result rows: a shared copy of the session's published list (copying a QList shares its
// data, so even a million rows cost nothing extra) and nothing per row.
class ResultsModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

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
    QList<FileItem> m_items;
};

}  // namespace tarnwick
