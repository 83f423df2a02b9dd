#pragma once

#include "FileItem.h"

#include <QList>

#include <vector>

namespace tarnwick {

// The items' positions in the name order of NameCollation, names it calls equal in the order
// they came in, and for each place whether its name equals the one before. Collation keys are built
// only for names that need them: names of ASCII characters whose order the user's collation gives
// character by character (checked against the collator itself) are compared through a table,
// in place.
struct NameOrder {
    std::vector<quint32> order;
    std::vector<bool> equalsPrevious;
};
NameOrder sortedByName(const QList<FileItem>& items);
// The same for the items at `positions` only.
NameOrder sortedByName(const QList<FileItem>& items, std::vector<quint32> positions);

}  // namespace tarnwick
