#include "text/TextStreaming.h"

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

ReadStatus readPdfPages(int fd, int maxPages, const TextChunkSink& sink) {
    silencePoppler();
    QFile device;
    if (!device.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
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

}  // namespace

}  // namespace tarnwick

// The text of the PDF open at `fd`, as readPdfText hands it over; a ReadStatus.
extern "C" __attribute__((visibility("default"))) int tarnwick_read_pdf_text(
    int fd, int maxPages, const tarnwick::TextChunkSink* sink) {
    return int(tarnwick::readPdfPages(fd, maxPages, *sink));
}
