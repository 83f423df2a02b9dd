#pragma once

#include "NativeFile.h"
#include "ReadableFormats.h"
#include "TextStreaming.h"

#include <QByteArray>

#include <optional>

namespace tarnwick {

// The text of a document of a known format, streamed to `sink` with bounded memory. PDFs are read
// up to `maxPdfPages` pages (0: all of them). The format of rich text is told by the data, as
// document readers do: a ".rtf" file that holds no RTF is read as plain text.
ReadStatus readDocumentText(NativeFile& file, DocumentFormat format, int maxPdfPages,
                            const TextChunkSink& sink);

// The same as well-formed UTF-8; plain text goes through without being decoded.
ReadStatus readDocumentUtf8(NativeFile& file, DocumentFormat format, int maxPdfPages,
                            const Utf8ChunkSink& sink);

// The reader for a file whose name told nothing (formatOfName), by its first bytes.
std::optional<DocumentFormat> readerByContent(const NativeFile& file);

}  // namespace tarnwick
