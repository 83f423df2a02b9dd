#pragma once

#include "FileItem.h"
#include "Listing.h"
#include "Results.h"
#include "SortMode.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>

namespace tarnwick {

// The inputs of one filter run, copied when it is queued.
struct FilterRequest {
    QString query;
    QSet<QByteArray> contentHits;  // native paths of the files whose text matched
    QSet<QString> extensions;      // chosen pill keys; empty lets everything through
    SortMode sortMode = SortMode::name;
};

// Asked between blocks of items whether the run has been superseded (any thread).
using RunCancelled = std::function<bool()>;

// One filter run: with a query, the items whose name (else relative path) matches, best score
// first (ties in listing order), then the content-only hits in listing order; without one, every
// item. Then the pill keys narrow the list and the sort mode orders it, stably. A run told it is
// cancelled stops within a block of items and returns no rows, which means nothing.
Results filterItems(const ListingPtr& listing, const FilterRequest& request,
                    const RunCancelled& cancelled = {});

// The index's own answer as shown: narrowed by the pill keys, then ordered by the sort mode.
QList<FileItem> narrowAndSort(const QList<FileItem>& items, const QSet<QString>& extensions,
                              SortMode sortMode);

}  // namespace tarnwick
