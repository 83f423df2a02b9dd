#include "QueryLifecycle.h"

namespace tarnwick {

void retireQuery(std::unique_ptr<MetadataQuery>& query, const QObject* observer) {
    if (!query) return;
    query->stop();
    QObject::disconnect(query.get(), nullptr, observer, nullptr);
    query.release()->deleteLater();
}

QList<MetadataItem> readResultsFrozen(MetadataQuery& query) {
    query.disableUpdates();
    QList<MetadataItem> results = query.results();
    query.enableUpdates();
    return results;
}

}  // namespace tarnwick
