#include "FileItem.h"

#include "FileUri.h"
#include "TextFolding.h"

#include <algorithm>

namespace tarnwick {

bool isPlainAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80 && c != '\r';
    });
}

FolderRecord::FolderRecord(QByteArray path, qsizetype relativeStart, QByteArray names)
    : m_path(std::move(path)),
      m_relativeStart(std::clamp<qsizetype>(relativeStart, 0, m_path.size())),
      m_names(std::move(names)) {
    const QByteArrayView relative = relativeDirectory();
    m_relativePlainAscii = isPlainAscii(relative);
    m_foldedRelative = foldUtf8(relative);
}

QByteArrayView FolderRecord::relativeDirectory() const {
    return QByteArrayView(m_path).sliced(m_relativeStart);
}

FileItem::FileItem(FolderRecordPtr folder, quint32 nameOffset, quint16 nameLength,
                   bool isDirectory, qint64 fileSize, qint64 modifiedMsecs)
    : m_folder(std::move(folder)),
      m_size(fileSize),
      m_modified(modifiedMsecs),
      m_nameOffset(nameOffset),
      m_nameLength(nameLength),
      m_flags(isDirectory ? kDirectory : 0) {
    if (isPlainAscii(nativeName())) m_flags |= kPlainAsciiName;
}

FileItem FileItem::fromPath(const QByteArray& absolutePath, const QByteArray& searchedFolder,
                            bool isDirectory, qint64 fileSize, qint64 modifiedMsecs) {
    qsizetype slash = absolutePath.lastIndexOf('/');
    QByteArray parent = slash <= 0 ? QByteArray("/") : absolutePath.left(slash);
    QByteArrayView name = QByteArrayView(absolutePath).sliced(slash + 1);
    FolderBuilder builder(parent, relativeStartFor(searchedFolder, parent));
    quint32 offset = builder.addName(name);
    return FileItem(builder.finish(), offset, quint16(std::min<qsizetype>(name.size(), 0xffff)),
                    isDirectory, fileSize, modifiedMsecs);
}

QByteArrayView FileItem::nativeName() const {
    if (!m_folder) return {};
    return QByteArrayView(m_folder->names()).sliced(m_nameOffset, m_nameLength);
}

QByteArray FileItem::path() const {
    if (!m_folder) return {};
    const QByteArray& folder = m_folder->path();
    QByteArray out;
    out.reserve(folder.size() + 1 + m_nameLength);
    out.append(folder);
    if (!folder.endsWith('/')) out.append('/');
    out.append(nativeName());
    return out;
}

QString FileItem::url() const { return fileUriFromPath(path()); }

std::optional<QDateTime> FileItem::modified() const {
    if (!hasModified()) return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(m_modified);
}

QByteArrayView FileItem::nativeRelativeDirectory() const {
    return m_folder ? m_folder->relativeDirectory() : QByteArrayView();
}

QString FileItem::relativeDirectory() const {
    return QString::fromUtf8(nativeRelativeDirectory());
}

QByteArray FileItem::nativeRelativePath() const {
    QByteArrayView dir = nativeRelativeDirectory();
    QByteArray out;
    out.reserve(dir.size() + 1 + m_nameLength);
    if (!dir.isEmpty()) {
        out.append(dir);
        out.append('/');
    }
    out.append(nativeName());
    return out;
}

FolderBuilder::FolderBuilder(QByteArray folderPath, qsizetype relativeStart)
    : m_path(std::move(folderPath)), m_relativeStart(relativeStart) {}

quint32 FolderBuilder::addName(QByteArrayView name) {
    auto offset = quint32(m_names.size());
    m_names.append(name);
    return offset;
}

FolderRecordPtr FolderBuilder::finish() {
    m_names.squeeze();
    return FolderRecordPtr(new FolderRecord(std::move(m_path), m_relativeStart, std::move(m_names)));
}

qsizetype relativeStartFor(const QByteArray& searchedFolder, const QByteArray& folderPath) {
    if (folderPath == searchedFolder) return folderPath.size();
    if (searchedFolder == "/") return 1;
    return searchedFolder.size() + 1;
}

}  // namespace tarnwick
