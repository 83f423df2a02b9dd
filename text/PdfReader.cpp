#include "PdfReader.h"

#include "core/LoadableModule.h"

namespace tarnwick {

namespace {

// The entry point of the PDF module (PdfModule.cpp): Poppler and the graphics libraries it
// rests on are mapped by the first PDF read, not by every start.
using ReadPdf = int (*)(int fd, int maxPages, const TextChunkSink* sink);

ReadPdf pdfReader() {
    static const auto reader = reinterpret_cast<ReadPdf>(
        loadModuleEntry("tarnwick-pdf.so", "tarnwick_read_pdf_text", "PDF files cannot be read"));
    return reader;
}

}  // namespace

ReadStatus readPdfText(NativeFile& file, int maxPages, const TextChunkSink& sink) {
    if (!file.isOpen()) return ReadStatus::failed;
    const ReadPdf read = pdfReader();
    if (!read) return ReadStatus::failed;
    return ReadStatus(read(file.descriptor(), maxPages, &sink));
}

}  // namespace tarnwick
