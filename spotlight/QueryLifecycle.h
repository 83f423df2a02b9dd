#pragma once

#include "index/MetadataQuery.h"

#include <QObject>

#include <memory>

namespace tarnwick {

// Ends a query its engine no longer wants: stopped, cut off from `observer`, and deleted once
// control is back in the event loop, since it may be the very query whose signal is being
// handled. Leaves `query` empty.
void retireQuery(std::unique_ptr<MetadataQuery>& query, const QObject* observer);

// The query's results, read with its updates disabled so that they cannot change meanwhile.
QList<MetadataItem> readResultsFrozen(MetadataQuery& query);

}  // namespace tarnwick
