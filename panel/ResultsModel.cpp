#include "ResultsModel.h"

#include "ResultText.h"
#include "platform/ClipboardPayload.h"

#include <QDateTime>
#include <QMimeData>

namespace tarnwick {

ResultsModel::ResultsModel(PassageSource passage, QObject* parent)
    : QAbstractListModel(parent),
      m_passage(std::move(passage)),
      m_dates(m_locale, RelativeDateFormatter::Width::spelledOut) {}

void ResultsModel::replaceItems(const Results& items) {
    beginResetModel();
    m_items = items;
    m_attributed.clear();
    endResetModel();
}

void ResultsModel::rowChanged(int row) {
    if (row < 0 || row >= m_items.size()) return;
    const QModelIndex changed = index(row);
    Q_EMIT dataChanged(changed, changed);
}

FileItem ResultsModel::attributedItemAt(int row) const {
    if (auto known = m_attributed.constFind(row); known != m_attributed.constEnd()) return *known;
    // Rows scrolled past in a long list are not kept for ever: a screenful is read again.
    constexpr qsizetype kRowsKept = 4096;
    if (m_attributed.size() >= kRowsKept) m_attributed.clear();
    FileItem item = m_items.at(row);
    item.readAttributes();
    m_attributed.insert(row, item);
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
            return item.name();
        case Qt::AccessibleTextRole:  // read out with the size and age the row shows
            return readingOf(attributedItemAt(index.row()));
        case Qt::ToolTipRole:
            return QString::fromUtf8(item.nativeRelativePath());
        default:
            return {};
    }
}

QString ResultsModel::readingOf(const FileItem& item) const {
    const QMimeType type =
        item.isDirectory()
            ? m_mimeTypes.mimeTypeForName(QStringLiteral("inode/directory"))
            : m_mimeTypes.mimeTypeForFile(item.name(), QMimeDatabase::MatchExtension);
    const std::optional<QDateTime> modified = item.modified();
    const QString age =
        modified ? m_dates.format(*modified, QDateTime::currentDateTime()) : QString();
    return rowReading(item, m_passage ? m_passage(item) : std::nullopt, type.comment(), age,
                      m_locale);
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
