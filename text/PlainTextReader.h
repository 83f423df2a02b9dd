#pragma once

#include "NativeFile.h"
#include "TextStreaming.h"

#include <QByteArray>

namespace tarnwick {

// Streams a file as strict UTF-8 in pieces of at most kReadChunkBytes, never holding more. Each
// piece handed to `sink` is made of whole, well-formed sequences (a leading byte order mark is
// dropped). The read fails at the first ill-formed byte (after handing over the well-formed text
// before it), or when the file ends inside a sequence: a file with one bad byte anywhere is not
// readable as UTF-8, even though the text before it was already handed over.
ReadStatus readUtf8File(NativeFile& file, const Utf8ChunkSink& sink);

}  // namespace tarnwick
