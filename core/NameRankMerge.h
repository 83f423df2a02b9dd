#pragma once

#include "FileItem.h"

#include <QList>

#include <vector>

namespace tarnwick {

// The name ranks of `items` (as computeNameRanks gives them) when most of them were ranked
// before: `origin[i]` is the index in `old` of the item `items[i]` was taken from, or -1 for a
// name not ranked yet. Only the new names are sorted and collated against the old order.
std::vector<quint32> mergedNameRanks(const QList<FileItem>& old,
                                     const std::vector<quint32>& oldRanks,
                                     const QList<FileItem>& items,
                                     const std::vector<qint32>& origin);

}  // namespace tarnwick
