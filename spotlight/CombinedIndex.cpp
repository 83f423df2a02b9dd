#include "CombinedIndex.h"

#include "CombinedQuery.h"

namespace tarnwick {

CombinedIndex::CombinedIndex(std::shared_ptr<MetadataIndex> primary,
                             std::shared_ptr<MetadataIndex> complement)
    : m_primary(std::move(primary)), m_complement(std::move(complement)) {}

std::unique_ptr<MetadataQuery> CombinedIndex::createQuery(const QByteArray& scope,
                                                          MetadataPredicate predicate,
                                                          const QString& text) {
    // The complement is there for text the primary cannot have read; what exists below the
    // folder, the primary knows alone.
    if (predicate == MetadataPredicate::everything)
        return m_primary->createQuery(scope, predicate, text);
    return std::make_unique<CombinedQuery>(m_primary->createQuery(scope, predicate, text),
                                           m_complement->createQuery(scope, predicate, text));
}

}  // namespace tarnwick
