#pragma once

#include "TextFolding.h"

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
#include <string>

struct stat;

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
    QByteArrayView relativeDirectory() const {
        return QByteArrayView(m_path).sliced(m_relativeStart);
    }
    const QByteArray& names() const { return m_names; }
    // The relative directory folded for matching (see foldUtf8), written over `out`, and whether
    // that fold is simple. A plain ASCII directory's fold is its lowercase, made when asked rather
    // than stored; a matcher makes one for each folder of every run, in a buffer it reuses.
    void foldRelativeDirectoryInto(std::string& out) const;
    bool relativeFoldIsSimple() const { return m_relativeFoldIsSimple; }
    // Bytes of text the record holds (path, names, a stored fold).
    size_t textBytes() const {
        return size_t(m_path.capacity() + m_names.capacity() + m_foldedRelative.capacity());
    }

private:
    QByteArray m_path;
    qsizetype m_relativeStart;
    QByteArray m_names;
    QByteArray m_foldedRelative;
    bool m_relativeFoldIsSimple;
    bool m_relativeFoldIsLowercase = false;
};

using FolderRecordPtr = QExplicitlySharedDataPointer<const FolderRecord>;

// Where an entry's name lies in its folder's `names`, followed by its folded form for matching
// (kept when it differs from the name and has at most 255 bytes, as any Linux file name). A
// plain ASCII name's fold is its lowercase, made while matching rather than stored: most names
// are such, and a million-entry listing would hold each twice.
struct NameSlot {
    enum : quint8 {
        kFoldStored = 1,
        kFoldSimple = 2,
        kDirectory = 4,
        kAttributes = 8,
        kFoldLowercase = 16
    };
    quint32 offset = 0;
    quint16 length = 0;
    quint8 foldedLength = 0;  // 0 with kFoldStored: the name is its own fold
    quint8 flags = 0;
};

// One file or folder below the searched folder, 32 bytes: identity is the native path (bytes, so
// that names that are not valid UTF-8 survive); the name shown is decoded lossily from those
// bytes. Name and kind never change; size and date are read from the file system only when
// something needs them (a listing of a million entries would otherwise stat every one).
class FileItem {
public:
    static constexpr qint64 kNoDate = std::numeric_limits<qint64>::min();

    FileItem() = default;
    // As a directory walk makes it: size and date not read yet.
    FileItem(FolderRecordPtr folder, NameSlot name, bool isDirectory);
    // With size and date already known (from an index).
    FileItem(FolderRecordPtr folder, NameSlot name, bool isDirectory, qint64 fileSize,
             qint64 modifiedMsecs);

    // An item for one absolute path, listed from `searchedFolder` (used by index backends and
    // tests; a listing shares one FolderRecord among siblings instead).
    static FileItem fromPath(const QByteArray& absolutePath, const QByteArray& searchedFolder,
                             bool isDirectory, qint64 fileSize, qint64 modifiedMsecs = kNoDate);

    // Tags the copy below.
    struct CountedReference {};
    // A copy of `other` without size and date, holding a reference to its folder's record that
    // the caller counts itself (see addReferences): copying a million items, one atomic add for
    // the items of a folder rather than one for each.
    FileItem(const FileItem& other, CountedReference)
        : m_folder(other.m_folder.data(), QAdoptSharedDataTag{}), m_name(other.m_name) {
        m_name.flags &= quint8(~NameSlot::kAttributes);
    }
    // Counts `count` references to `record` (which may be null) at once.
    static void addReferences(const FolderRecord* record, int count) {
        if (record && count) record->ref.fetchAndAddRelaxed(count);
    }

    bool isNull() const { return !m_folder; }
    // Absolute native path; what identifies the item.
    QByteArray path() const;
    // file:// URI with the path's bytes percent-encoded (round-trips any name).
    QString url() const;
    QString name() const { return QString::fromUtf8(nativeName()); }
    QByteArrayView nativeName() const {
        if (!m_folder) return {};
        return QByteArrayView(m_folder->names()).sliced(m_name.offset, m_name.length);
    }
    bool isDirectory() const { return m_name.flags & NameSlot::kDirectory; }
    // Whether size and date have been read (or came with the item).
    bool hasAttributes() const { return m_name.flags & NameSlot::kAttributes; }
    // Reads size and date (lstat), once. An entry gone since it was listed keeps none: size 0,
    // no date, and no size to show.
    void readAttributes();
    // The same, relative to the descriptor of the item's folder.
    void readAttributesAt(int folderFd);
    // Size 0 and no date until read.
    qint64 fileSize() const { return m_size < 0 ? 0 : m_size; }
    // A file whose size was read (folders and vanished entries have none to show).
    bool hasSize() const { return hasAttributes() && m_size >= 0 && !isDirectory(); }
    bool hasModified() const { return m_modified != kNoDate; }
    qint64 modifiedMsecs() const { return m_modified; }
    std::optional<QDateTime> modified() const;
    QString relativeDirectory() const;
    QByteArrayView nativeRelativeDirectory() const {
        return m_folder ? m_folder->relativeDirectory() : QByteArrayView();
    }
    // Whether path() equals `absolutePath`, without building it.
    bool hasPath(QByteArrayView absolutePath) const;
    // "relativeDirectory/name", or the name alone for an entry of the searched folder.
    QByteArray nativeRelativePath() const;

    const FolderRecord& folder() const { return *m_folder; }
    const FolderRecordPtr& folderRecord() const { return m_folder; }
    // The name folded for matching, when it was stored with the name or is its ASCII lowercase
    // (else fold it on the spot).
    bool hasFold() const {
        return m_name.flags & (NameSlot::kFoldStored | NameSlot::kFoldLowercase);
    }
    static constexpr qsizetype kMaxFoldedLength = 255;
    // `buffer`: room for kMaxFoldedLength bytes, where a lowercase fold is written.
    QByteArrayView foldedName(char* buffer) const {
        if (!m_folder || !hasFold()) return {};
        if (m_name.flags & NameSlot::kFoldLowercase) {
            const QByteArrayView name = nativeName();
            for (qsizetype i = 0; i < name.size(); ++i) buffer[i] = asciiLowercase(name[i]);
            return QByteArrayView(buffer, name.size());
        }
        if (m_name.foldedLength == 0) return nativeName();
        return QByteArrayView(m_folder->names())
            .sliced(m_name.offset + m_name.length, m_name.foldedLength);
    }
    bool foldIsSimple() const { return m_name.flags & NameSlot::kFoldSimple; }
    // Where the name lies in the folder record's names, for an item of a record with the same.
    NameSlot nameSlot() const { return m_name; }

private:
    void setAttributes(const struct stat* st);

    FolderRecordPtr m_folder;
    qint64 m_size = 0;  // -1: read, but the entry was gone
    qint64 m_modified = kNoDate;
    NameSlot m_name;
};

static_assert(sizeof(FileItem) == 32, "a million items must stay small");

// Builds the FolderRecord of one folder while its entries are read, then the items that share it.
class FolderBuilder {
public:
    FolderBuilder(QByteArray folderPath, qsizetype relativeStart);
    // Room for names of `bytes` in all (stored folds may take more).
    void reserve(qsizetype bytes) { m_names.reserve(bytes); }
    // Stores the name and its fold.
    NameSlot addName(QByteArrayView name);
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
