#pragma once

#include "core/FileItem.h"
#include "core/MatchScore.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace tarnwick {

// One result of `tarnwick --print --json` as a line of JSON, its fields in the documented order:
// path (and path_bytes, base64, for a path that is not valid UTF-8), kind, size, modified,
// match, score and, for a row the query reached through the file's text, snippet.
// `passage`: what the plain output prints after the row (nothing for a name or path match).
QByteArray resultJson(const FileItem& item, Matcher& matcher,
                      const std::optional<QString>& passage);

}  // namespace tarnwick
