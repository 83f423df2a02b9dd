#pragma once

#include "index/MetadataQuery.h"

#include <functional>
#include <memory>

namespace tarnwick {

// The index of a search whose connection is still being made: a query started meanwhile waits,
// and runs once resolve() names the index that answers for its scope; later queries go there at
// once. So a search opened during the connection gets its counts and content hits when it is
// made, and nothing waits for it in a nested event loop. Main thread only.
class PendingIndex : public MetadataIndex {
public:
    using IndexForScope = std::function<std::shared_ptr<MetadataIndex>(const QByteArray& scope)>;

    PendingIndex();
    ~PendingIndex() override;

    std::unique_ptr<MetadataQuery> createQuery(const QByteArray& scope, MetadataPredicate predicate,
                                               const QString& text) override;
    // The connection is settled: waiting queries start on the index named for their scope.
    void resolve(IndexForScope indexForScope);

    struct State;

private:
    std::shared_ptr<State> m_state;
};

}  // namespace tarnwick
