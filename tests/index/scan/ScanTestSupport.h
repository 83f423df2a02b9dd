#pragma once

#include "index/MetadataQuery.h"

#include <QByteArray>
#include <QSet>

namespace tarnwick::test {

// Starts the query and waits (up to a generous limit) until it finished gathering.
bool runToEnd(MetadataQuery& query);

// The paths of the results, relative to `root`.
QSet<QByteArray> relativePaths(const QList<MetadataItem>& items, const QByteArray& root);

}  // namespace tarnwick::test
