#include "ContentMatch.h"

#include <QCoreApplication>

namespace tarnwick {

QString contentMatchText() {
    return QCoreApplication::translate("ContentMatch", "Content match");
}

bool wantsSnippet(const FileItem& item, const QString& query, SearchMode mode,
                  const QSet<QByteArray>& contentHits) {
    if (query.isEmpty() || item.name().contains(query, Qt::CaseInsensitive)) return false;
    return mode == SearchMode::spotlightOnly || contentHits.contains(item.path());
}

}  // namespace tarnwick
