#pragma once

#include "index/MetadataQuery.h"

namespace tarnwick {

// Two indexes answering as one. `primary` (the desktop's index) answers counts alone and is
// trusted for every file it reports; `complement` (a scanner that reads only what the primary
// cannot have read) adds the files the primary does not report. Main thread only.
class CombinedIndex : public MetadataIndex {
public:
    CombinedIndex(std::shared_ptr<MetadataIndex> primary,
                  std::shared_ptr<MetadataIndex> complement);

    std::unique_ptr<MetadataQuery> createQuery(const QByteArray& scope, MetadataPredicate predicate,
                                               const QString& text) override;

private:
    std::shared_ptr<MetadataIndex> m_primary;
    std::shared_ptr<MetadataIndex> m_complement;
};

}  // namespace tarnwick
