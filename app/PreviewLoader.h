#pragma once

#include "panel/PreviewContent.h"

namespace tarnwick {

// What the preview shows of the file at `path` (native bytes), as its format says
// (text/ReadableFormats.h): a picture turned upright and scaled to fit `bounds`, a PDF's first
// page rendered to fit, the start of a text file (decoded as UTF-8, invalid bytes shown as
// U+FFFD) or of a document's text, else the file's facts. A folder gives an empty content. Slow
// (reads and renders): the panel calls it off the main thread.
PreviewContent loadPreviewContent(const QByteArray& path, QSize bounds);

}  // namespace tarnwick
