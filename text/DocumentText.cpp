#include "DocumentText.h"

#include "PdfReader.h"
#include "PlainTextReader.h"
#include "RtfReader.h"

#include <QString>

namespace tarnwick {

namespace {

constexpr qint64 kRtfHeaderBytes = 64;

DocumentFormat formatByData(NativeFile& file, DocumentFormat format) {
    if (format != DocumentFormat::rtf || looksLikeRtf(file.head(kRtfHeaderBytes))) return format;
    return DocumentFormat::plainText;
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

std::optional<DocumentFormat> readerByContent(const NativeFile& file) {
    return formatOfContent(file.head(kFormatSniffBytes)).reader;
}

}  // namespace tarnwick
