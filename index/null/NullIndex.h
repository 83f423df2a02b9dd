#pragma once

#include "index/MetadataQuery.h"

namespace tarnwick {

// An index that holds nothing: every query finishes gathering with no results (a count of 0) in
// the next turn of the event loop, and never updates.
class NullIndex : public MetadataIndex {
public:
    std::unique_ptr<MetadataQuery> createQuery(const QByteArray& scope, MetadataPredicate predicate,
                                               const QString& text) override;
};

}  // namespace tarnwick
