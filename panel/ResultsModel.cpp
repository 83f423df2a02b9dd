#include "ResultsModel.h"

#include "platform/ClipboardPayload.h"

#include <QMimeData>

namespace tarnwick {

void ResultsModel::replaceItems(const QList<FileItem>& items) {
    beginResetModel();
    m_items = items;
    endResetModel();
}

void ResultsModel::rowChanged(int row) {
    if (row < 0 || row >= m_items.size()) return;
    const QModelIndex changed = index(row);
    Q_EMIT dataChanged(changed, changed);
}

const FileItem& ResultsModel::attributedItemAt(int row) const {
    // Written in place, without detaching: the rows are shared with the session's published
    // list on purpose, both live on the main thread, and both keep what was read.
    auto& item = const_cast<FileItem&>(m_items.at(row));
    item.readAttributes();
    return item;
}

int ResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_items.size()) return {};
    const FileItem& item = m_items.at(index.row());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return item.name();
        case Qt::ToolTipRole:
            return QString::fromUtf8(item.nativeRelativePath());
        default:
            return {};
    }
}

}  // namespace tarnwick

namespace tarnwick {

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractListModel::flags(index);
    if (index.isValid()) flags |= Qt::ItemIsDragEnabled;
    return flags;
}

QStringList ResultsModel::mimeTypes() const {
    return {QStringLiteral("text/uri-list")};
}

QMimeData* ResultsModel::mimeData(const QModelIndexList& indexes) const {
    QList<QByteArray> paths;
    for (const QModelIndex& index : indexes)
        if (index.isValid() && index.row() < m_items.size())
            paths.append(m_items[index.row()].path());
    if (paths.isEmpty()) return nullptr;
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/uri-list"), uriList(paths));
    return data;
}

Qt::DropActions ResultsModel::supportedDragActions() const {
    return Qt::CopyAction;
}

}  // namespace tarnwick
