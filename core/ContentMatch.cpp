#include "ContentMatch.h"

#include <QCoreApplication>

namespace tarnwick {

QString contentMatchText() {
    return QCoreApplication::translate("ContentMatch", "Content match");
}

bool wantsSnippet(const FileItem& item, const QString& query, SearchMode mode,
                  const QSet<QByteArray>& contentHits) {
    // Cheapest first: most rows of a large listing are asked, and most searches have no hits.
    if (query.isEmpty() || (mode != SearchMode::spotlightOnly && contentHits.isEmpty()))
        return false;
    if (item.name().contains(query, Qt::CaseInsensitive)) return false;
    return mode == SearchMode::spotlightOnly || contentHits.contains(item.path());
}

}  // namespace tarnwick
