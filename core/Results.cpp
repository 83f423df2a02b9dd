#include "Results.h"

#include <numeric>

namespace tarnwick {

Results::Results(ListingPtr listing, ItemOrder rows)
    : m_listing(std::move(listing)), m_rows(std::move(rows)) {}

Results Results::ofItems(QList<FileItem> items) {
    auto rows = std::make_shared<std::vector<quint32>>(size_t(items.size()));
    std::iota(rows->begin(), rows->end(), 0u);
    return Results(makeListing(std::move(items), false), std::move(rows));
}

QList<FileItem> Results::toList() const {
    QList<FileItem> list;
    list.reserve(size());
    for (const FileItem& item : *this) list.append(item);
    return list;
}

}  // namespace tarnwick
