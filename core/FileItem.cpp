#include "FileItem.h"

#include "FileUri.h"
#include "PathAnchor.h"
#include "TextFolding.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>

namespace tarnwick {

FolderRecord::FolderRecord(QByteArray path, qsizetype relativeStart, QByteArray names)
    : m_path(std::move(path)),
      m_relativeStart(std::clamp<qsizetype>(relativeStart, 0, m_path.size())),
      m_names(std::move(names)) {
    if (foldsToLowercase(relativeDirectory())) {
        m_relativeFoldIsSimple = true;
        m_relativeFoldIsLowercase = true;
        return;
    }
    FoldedText folded = foldUtf8(relativeDirectory());
    m_foldedRelative = std::move(folded.utf8);
    m_relativeFoldIsSimple = folded.simple;
}

void FolderRecord::foldRelativeDirectoryInto(std::string& out) const {
    if (!m_relativeFoldIsLowercase) {
        out.assign(m_foldedRelative.constData(), size_t(m_foldedRelative.size()));
        return;
    }
    const QByteArrayView relative = relativeDirectory();
    out.resize(size_t(relative.size()));
    std::transform(relative.begin(), relative.end(), out.begin(), asciiLowercase);
}

FileItem::FileItem(FolderRecordPtr folder, NameSlot name, bool isDirectory)
    : m_folder(std::move(folder)), m_name(name) {
    m_name.flags &= quint8(~NameSlot::kAttributes);
    if (isDirectory) m_name.flags |= NameSlot::kDirectory;
}

FileItem::FileItem(FolderRecordPtr folder, NameSlot name, bool isDirectory, qint64 fileSize,
                   qint64 modifiedMsecs)
    : m_folder(std::move(folder)), m_size(fileSize), m_modified(modifiedMsecs), m_name(name) {
    m_name.flags |= NameSlot::kAttributes;
    if (isDirectory) m_name.flags |= NameSlot::kDirectory;
}

void FileItem::readAttributes() {
    if (hasAttributes() || !m_folder) return;
    struct stat st;
    // Symbolic links are described as themselves, as the walk lists them.
    setAttributes(statAnyLength(path(), &st, false) == 0 ? &st : nullptr);
}

void FileItem::readAttributesAt(int folderFd) {
    if (hasAttributes() || !m_folder) return;
    const QByteArrayView view = nativeName();
    char name[NAME_MAX + 1];
    struct stat st;
    bool found = view.size() <= NAME_MAX;  // longer is no Linux name
    if (found) {
        std::memcpy(name, view.data(), size_t(view.size()));
        name[view.size()] = 0;
        found = fstatat(folderFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0;
    }
    setAttributes(found ? &st : nullptr);
}

void FileItem::setAttributes(const struct stat* st) {
    m_name.flags |= NameSlot::kAttributes;
    if (!st) {
        m_size = -1;
        m_modified = kNoDate;
        return;
    }
    m_size = isDirectory() ? 0 : qint64(st->st_size);
    m_modified = qint64(st->st_mtim.tv_sec) * 1000 + st->st_mtim.tv_nsec / 1000000;
}

FileItem FileItem::fromPath(const QByteArray& absolutePath, const QByteArray& searchedFolder,
                            bool isDirectory, qint64 fileSize, qint64 modifiedMsecs) {
    qsizetype slash = absolutePath.lastIndexOf('/');
    QByteArray parent = slash <= 0 ? QByteArray("/") : absolutePath.left(slash);
    QByteArrayView name = QByteArrayView(absolutePath).sliced(slash + 1);
    FolderBuilder builder(parent, relativeStartFor(searchedFolder, parent));
    NameSlot slot = builder.addName(name);
    return FileItem(builder.finish(), slot, isDirectory, fileSize, modifiedMsecs);
}

QByteArray FileItem::path() const {
    if (!m_folder) return {};
    const QByteArray& folder = m_folder->path();
    QByteArray out;
    out.reserve(folder.size() + 1 + m_name.length);
    out.append(folder);
    if (!folder.endsWith('/')) out.append('/');
    out.append(nativeName());
    return out;
}

bool FileItem::hasPath(QByteArrayView absolutePath) const {
    if (!m_folder) return false;
    const QByteArray& folder = m_folder->path();
    const qsizetype separator = folder.endsWith('/') ? 0 : 1;
    return absolutePath.size() == folder.size() + separator + m_name.length &&
           absolutePath.startsWith(folder) &&
           (separator == 0 || absolutePath[folder.size()] == '/') &&
           absolutePath.endsWith(nativeName());
}

QString FileItem::url() const {
    return fileUriFromPath(path());
}

std::optional<QDateTime> FileItem::modified() const {
    if (!hasModified()) return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(m_modified);
}

QString FileItem::relativeDirectory() const {
    return QString::fromUtf8(nativeRelativeDirectory());
}

QByteArray FileItem::nativeRelativePath() const {
    QByteArrayView dir = nativeRelativeDirectory();
    QByteArray out;
    out.reserve(dir.size() + 1 + m_name.length);
    if (!dir.isEmpty()) {
        out.append(dir);
        out.append('/');
    }
    out.append(nativeName());
    return out;
}

FolderBuilder::FolderBuilder(QByteArray folderPath, qsizetype relativeStart)
    : m_path(std::move(folderPath)), m_relativeStart(relativeStart) {}

NameSlot FolderBuilder::addName(QByteArrayView name) {
    constexpr qsizetype kMaxFoldedLength = FileItem::kMaxFoldedLength;
    name = name.first(std::min<qsizetype>(name.size(), 0xffff));
    NameSlot slot;
    slot.offset = quint32(m_names.size());
    slot.length = quint16(name.size());
    m_names.append(name);
    if (name.size() <= kMaxFoldedLength && foldsToLowercase(name)) {
        const bool lower =
            std::none_of(name.begin(), name.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
        slot.flags =
            NameSlot::kFoldSimple | (lower ? NameSlot::kFoldStored : NameSlot::kFoldLowercase);
        return slot;
    }
    FoldedText folded = foldUtf8(name);
    if (folded.utf8 == name) {
        slot.flags = NameSlot::kFoldStored;
    } else if (folded.utf8.size() <= kMaxFoldedLength) {
        slot.flags = NameSlot::kFoldStored;
        slot.foldedLength = quint8(folded.utf8.size());
        m_names.append(folded.utf8);
    }
    if (folded.simple && (slot.flags & NameSlot::kFoldStored)) slot.flags |= NameSlot::kFoldSimple;
    return slot;
}

FolderRecordPtr FolderBuilder::finish() {
    m_names.squeeze();
    return FolderRecordPtr(
        new FolderRecord(std::move(m_path), m_relativeStart, std::move(m_names)));
}

qsizetype relativeStartFor(const QByteArray& searchedFolder, const QByteArray& folderPath) {
    if (folderPath == searchedFolder) return folderPath.size();
    if (searchedFolder == "/") return 1;
    return searchedFolder.size() + 1;
}

}  // namespace tarnwick
