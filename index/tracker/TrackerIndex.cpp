#include "TrackerIndex.h"

#include "TrackerQuery.h"
#include "TrackerSession.h"

namespace tarnwick {

TrackerIndex::TrackerIndex(std::shared_ptr<TrackerSession> session)
    : m_session(std::move(session)) {}

TrackerIndex::~TrackerIndex() = default;

std::unique_ptr<MetadataQuery> TrackerIndex::createQuery(const QByteArray& scope,
                                                         MetadataPredicate predicate,
                                                         const QString& text) {
    return std::make_unique<TrackerQuery>(m_session, scope, predicate, text);
}

bool TrackerIndex::coversRecursively(const QByteArray& scope) const {
    return m_session->coverage()->coversRecursively(scope);
}

bool TrackerIndex::mayHaveReadText(const QByteArray& path, qint64 size) const {
    return m_session->coverage()->mayHaveReadText(path, size);
}

std::shared_ptr<const TrackerCoverage> TrackerIndex::coverage() const {
    return m_session->coverage();
}

DesktopIndex::TextCoverage TrackerIndex::textCoverage() const {
    return [coverage = coverage()](const QByteArray& path, qint64 size) {
        return coverage->mayHaveReadText(path, size);
    };
}

void TrackerIndex::setStatementShares(int count) {
    m_session->setStatementShares(count);
}

int TrackerIndex::statementShares() const {
    return m_session->statementShares();
}

}  // namespace tarnwick
