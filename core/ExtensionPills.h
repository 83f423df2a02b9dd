#pragma once

#include "FileItem.h"

#include <QHash>
#include <QList>
#include <QString>

namespace tarnwick {

// One toggle of the pill row: its title and the key it adds to the chosen extensions ("" for
// "All", kFolderKey for "Folders").
struct Pill {
    QString title;
    QString key;
    bool operator==(const Pill&) const = default;
};

inline constexpr int kMaxExtensionPills = 10;

// "All", then the ten most frequent extensions of the files among `items` ("PDF (12)", most
// frequent first; equal counts by extension), then "Folders" when `withFolders` and any item is
// a folder.
QList<Pill> countPills(const QList<FileItem>& items, bool withFolders);

// What the pills are counted from: files per extension, and folders. Kept with a listing, so that
// a listing that changed in a few places is counted again only there.
struct ExtensionCounts {
    QHash<QString, qint64> files;
    qint64 folders = 0;
    void add(const FileItem& item, qint64 delta = 1);
};
ExtensionCounts countExtensions(const QList<FileItem>& items);
QList<Pill> pillsFor(const ExtensionCounts& counts, bool withFolders);

}  // namespace tarnwick
