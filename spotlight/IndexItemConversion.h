#pragma once

#include "core/FileItem.h"
#include "index/MetadataQuery.h"

#include <QList>

namespace tarnwick {

// The modification date shown for an index entry: its content modification date, else its
// change date, else FileItem::kNoDate.
qint64 modifiedMsecsOf(const MetadataItem& item);

// The items of an index answer below `scope` (a folder path without trailing '/'), in the
// answer's order. Entries without a path or a name, and any outside the scope, are left out;
// siblings share their folder's record, as in a listing.
QList<FileItem> fileItemsFromMetadata(const QList<MetadataItem>& found, const QByteArray& scope);

}  // namespace tarnwick
