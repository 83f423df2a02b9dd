#pragma once

#include "FileItem.h"
#include "Listing.h"

#include <QList>

#include <vector>

namespace tarnwick {

// The name ranks of a listing's items (as computeNameRanks gives them) when most of them were
// ranked in `old`: `origin[i]` is the index among old's items of the item the i-th was taken
// from, or -1 for a name not ranked yet; `unranked` holds those items, in order. Only the new
// names are sorted and collated against the old order, so the items taken over need not be at
// hand.
std::vector<quint32> mergedNameRanks(const Listing& old, const std::vector<qint32>& origin,
                                     const QList<FileItem>& unranked);

}  // namespace tarnwick
