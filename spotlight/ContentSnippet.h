#pragma once

#include "core/ContentMatch.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace tarnwick {

// The passage of a file around the first occurrence of `query`, for a row that matched by its
// content, read by the text reader its format has (formatOfName, or readerByContent for a name
// the MIME database does not know): a PDF's first 10 pages, rich text, or strict UTF-8 text. A
// file of a format without a reader gives contentMatchText() (by its name: at once, without
// opening it). Text and query are fully lowercased and searched as
// plain substrings; the window is 40 user-perceived characters before the occurrence and 60
// after, cut from the original text, line feeds turned into blanks and then pairs of blanks into
// one (a single left-to-right pass), with "…" where the window stops short of the text's start or
// end. Nothing for an empty query, an unreadable or unparsable file, a plain-text file with an
// ill-formed UTF-8 byte anywhere, or a text without the query.
//
// Files are streamed: memory stays bounded however big they are, and the answer is the one the
// whole text would give. Callable from any thread.
std::optional<QString> contentSnippet(const QByteArray& path, const QString& query);

}  // namespace tarnwick
