#pragma once

#include "FileItem.h"
#include "SearchMode.h"

#include <QByteArray>
#include <QSet>
#include <QString>

namespace tarnwick {

// What a row matched only by its content shows until (or instead of) its passage, in the user's
// language; compared with as the mark of "no passage".
QString contentMatchText();

// Whether a row of the results for `query` shows a passage of its text: only a row the query
// reached through the file's content. A name holding the query explains itself; in a hybrid
// search a row is there by its content only when the content engine named it.
bool wantsSnippet(const FileItem& item, const QString& query, SearchMode mode,
                  const QSet<QByteArray>& contentHits);

}  // namespace tarnwick
