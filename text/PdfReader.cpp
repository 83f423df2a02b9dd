#include "PdfReader.h"

#include <QFile>
#include <QRectF>

#include <poppler-qt6.h>

#include <memory>
#include <mutex>

namespace tarnwick {

namespace {

// Poppler reports every oddity of a broken document on stderr; a reader that merely gives up on
// such a file has nothing to add.
void silencePoppler() {
    static std::once_flag once;
    std::call_once(once, [] {
        Poppler::setDebugErrorFunction([](const QString&, const QVariant&) {}, QVariant());
    });
}

}  // namespace

ReadStatus readPdfText(const QByteArray& path, LinkPolicy links, int maxPages,
                       const TextChunkSink& sink) {
    NativeFile file = NativeFile::open(path, links);
    return readPdfText(file, maxPages, sink);
}

ReadStatus readPdfText(NativeFile& file, int maxPages, const TextChunkSink& sink) {
    silencePoppler();
    if (!file.isOpen()) return ReadStatus::failed;
    QFile device;
    if (!device.open(file.descriptor(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return ReadStatus::failed;
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(&device);
    if (!document || document->isLocked()) return ReadStatus::failed;
    int pages = document->numPages();
    if (maxPages > 0 && pages > maxPages) pages = maxPages;
    for (int index = 0; index < pages; ++index) {
        std::unique_ptr<Poppler::Page> page = document->page(index);
        if (!page) continue;
        QString text = page->text(QRectF());
        if (text.isEmpty()) continue;
        text.append(u' ');
        if (!sink(text)) return ReadStatus::stopped;
    }
    return ReadStatus::complete;
}

std::optional<QString> pdfText(const QByteArray& path) {
    QString text;
    const ReadStatus status =
        readPdfText(path, LinkPolicy::follow, kSnippetPdfPages, [&text](QStringView page) {
            text.append(page);
            return true;
        });
    if (status != ReadStatus::complete || text.isEmpty()) return std::nullopt;
    return text;
}

}  // namespace tarnwick
