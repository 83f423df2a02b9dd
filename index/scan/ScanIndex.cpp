#include "ScanIndex.h"

#include "ImmediateQuery.h"
#include "ScanEngine.h"
#include "ScanQuery.h"
#include "core/MainThread.h"
#include "text/ContentFolding.h"

namespace tarnwick {

ScanIndex::ScanIndex(FileFilter scanOnly)
    : m_engine(std::make_shared<ScanEngine>(std::move(scanOnly))) {
    ensureMainThreadMailbox();
}

ScanIndex::~ScanIndex() = default;

std::unique_ptr<MetadataQuery> ScanIndex::createQuery(const QByteArray& scope,
                                                      MetadataPredicate predicate,
                                                      const QString& text) {
    if (predicate == MetadataPredicate::everything) return std::make_unique<ImmediateQuery>();
    ScanRequest request;
    request.needle = foldForContentMatch(text).toUtf8();
    request.matchNames = predicate == MetadataPredicate::nameOrContentContains;
    if (request.needle.isEmpty()) return std::make_unique<ImmediateQuery>();
    return std::make_unique<ScanQuery>(m_engine, scope, std::move(request));
}

void ScanIndex::setCatalogLifetime(std::chrono::milliseconds lifetime) {
    m_engine->catalogs().setLifetime(lifetime.count());
}

}  // namespace tarnwick
