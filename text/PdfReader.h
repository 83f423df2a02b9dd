#pragma once

#include "NativeFile.h"
#include "TextStreaming.h"

#include <QByteArray>
#include <QString>

namespace tarnwick {

// How many pages a content snippet reads from a PDF.
inline constexpr int kSnippetPdfPages = 10;

// The text of a PDF's first `maxPages` pages (all of them when maxPages <= 0), page by page: each
// page that yields text is handed over followed by one blank; a page without text adds nothing.
// Fails when the file cannot be opened as a PDF or is locked with a password. The document is
// read through the open file, so any name reachable by its bytes can be read.
ReadStatus readPdfText(NativeFile& file, int maxPages, const TextChunkSink& sink);

}  // namespace tarnwick
