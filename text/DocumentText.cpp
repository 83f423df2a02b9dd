#include "DocumentText.h"

#include "PdfReader.h"
#include "PlainTextReader.h"
#include "RtfReader.h"

#include <QString>

#include <unistd.h>

namespace tarnwick {

namespace {

DocumentFormat formatByData(NativeFile& file, DocumentFormat format) {
    if (format != DocumentFormat::rtf) return format;
    char head[64];
    const ssize_t got = pread(file.descriptor(), head, sizeof head, 0);
    if (got <= 0) return format;
    return looksLikeRtf(QByteArrayView(head, got)) ? format : DocumentFormat::plainText;
}

}  // namespace

ReadStatus readDocumentText(NativeFile& file, DocumentFormat format, int maxPdfPages,
                            const TextChunkSink& sink) {
    switch (formatByData(file, format)) {
        case DocumentFormat::plainText:
            return readUtf8File(
                file, [&sink](QByteArrayView utf8) { return sink(QString::fromUtf8(utf8)); });
        case DocumentFormat::rtf:
            return readRtfFile(file, sink);
        case DocumentFormat::pdf:
            return readPdfText(file, maxPdfPages, sink);
    }
    return ReadStatus::failed;
}

ReadStatus readDocumentUtf8(NativeFile& file, DocumentFormat format, int maxPdfPages,
                            const Utf8ChunkSink& sink) {
    format = formatByData(file, format);
    if (format == DocumentFormat::plainText) return readUtf8File(file, sink);
    return readDocumentText(file, format, maxPdfPages,
                            [&sink](QStringView text) { return sink(text.toUtf8()); });
}

}  // namespace tarnwick
