#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QExplicitlySharedDataPointer>
#include <QList>
#include <QSharedData>
#include <QString>

#include <cstdint>
#include <limits>
#include <optional>

namespace tarnwick {

// What the entries of one folder share: the folder's native path and their names, back to back.
// A million-entry listing holds about 85,000 of these, so each item needs only an offset into
// `names` instead of a string of its own, and its URL is derived rather than stored.
class FolderRecord : public QSharedData {
public:
    // `path`: absolute native path of the folder, without a trailing '/' except for "/".
    // `relativeStart`: where the path relative to the searched folder begins in `path`
    // (path.size() for the searched folder itself).
    FolderRecord(QByteArray path, qsizetype relativeStart, QByteArray names);

    const QByteArray& path() const { return m_path; }
    QByteArrayView relativeDirectory() const;
    const QByteArray& names() const { return m_names; }
    // The relative directory case-folded (full lowercase, NFC), as UTF-8, for matching.
    const QByteArray& foldedRelativeDirectory() const { return m_foldedRelative; }
    // True when the relative directory is ASCII without carriage returns, so that byte-wise
    // lowercasing is its full case folding and every byte is one user-perceived character.
    bool relativeIsPlainAscii() const { return m_relativePlainAscii; }

private:
    QByteArray m_path;
    qsizetype m_relativeStart;
    QByteArray m_names;
    QByteArray m_foldedRelative;
    bool m_relativePlainAscii;
};

using FolderRecordPtr = QExplicitlySharedDataPointer<const FolderRecord>;

// One file or folder below the searched folder. Immutable and 32 bytes: identity is the native
// path (bytes, so that names that are not valid UTF-8 survive); the name shown is decoded
// lossily from those bytes.
class FileItem {
public:
    static constexpr qint64 kNoDate = std::numeric_limits<qint64>::min();

    FileItem() = default;
    // `nameOffset`/`nameLength` locate the entry's name inside folder->names().
    FileItem(FolderRecordPtr folder, quint32 nameOffset, quint16 nameLength, bool isDirectory,
             qint64 fileSize, qint64 modifiedMsecs);

    // An item for one absolute path, listed from `searchedFolder` (used by index backends and
    // tests; a listing shares one FolderRecord among siblings instead).
    static FileItem fromPath(const QByteArray& absolutePath, const QByteArray& searchedFolder,
                             bool isDirectory, qint64 fileSize, qint64 modifiedMsecs = kNoDate);

    bool isNull() const { return !m_folder; }
    // Absolute native path; what identifies the item.
    QByteArray path() const;
    // file:// URI with the path's bytes percent-encoded (round-trips any name).
    QString url() const;
    QString name() const { return QString::fromUtf8(nativeName()); }
    QByteArrayView nativeName() const;
    bool isDirectory() const { return m_flags & kDirectory; }
    qint64 fileSize() const { return m_size; }
    bool hasModified() const { return m_modified != kNoDate; }
    qint64 modifiedMsecs() const { return m_modified; }
    std::optional<QDateTime> modified() const;
    QString relativeDirectory() const;
    QByteArrayView nativeRelativeDirectory() const;
    // "relativeDirectory/name", or the name alone for an entry of the searched folder.
    QByteArray nativeRelativePath() const;

    const FolderRecord& folder() const { return *m_folder; }
    const FolderRecordPtr& folderRecord() const { return m_folder; }
    bool nameIsPlainAscii() const { return m_flags & kPlainAsciiName; }

private:
    enum : quint8 { kDirectory = 1, kPlainAsciiName = 2 };

    FolderRecordPtr m_folder;
    qint64 m_size = 0;
    qint64 m_modified = kNoDate;
    quint32 m_nameOffset = 0;
    quint16 m_nameLength = 0;
    quint8 m_flags = 0;
};

// True when `bytes` holds only ASCII and no carriage return: byte-wise lowercasing is then the
// full Unicode lowercase mapping and each byte is one user-perceived character.
bool isPlainAscii(QByteArrayView bytes);

// Builds the FolderRecord of one folder while its entries are read, then the items that share it.
class FolderBuilder {
public:
    FolderBuilder(QByteArray folderPath, qsizetype relativeStart);
    // Returns the offset of the stored name.
    quint32 addName(QByteArrayView name);
    FolderRecordPtr finish();

private:
    QByteArray m_path;
    qsizetype m_relativeStart;
    QByteArray m_names;
};

// Where the relative part of a path below `searchedFolder` begins (the relative-path rule):
// after the folder and its separating '/', or after the single '/' of the file-system root.
qsizetype relativeStartFor(const QByteArray& searchedFolder, const QByteArray& folderPath);

}  // namespace tarnwick
