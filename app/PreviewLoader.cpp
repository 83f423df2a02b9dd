#include "PreviewLoader.h"

#include "core/PathAnchor.h"
#include "panel/ResultText.h"
#include "text/DocumentText.h"
#include "text/NativeFile.h"

#include <QDateTime>
#include <QFile>
#include <QImageReader>
#include <QLocale>
#include <QMimeDatabase>
#include <QStringDecoder>

#include <poppler-qt6.h>

#include <memory>
#include <mutex>

#include <sys/stat.h>

namespace tarnwick {

namespace {

QString nameOf(const QByteArray& path) {
    return QString::fromUtf8(path.mid(path.lastIndexOf('/') + 1));
}

// Name, size, type and date, for every kind: the facts view needs them, the others their name.
PreviewContent factsOf(const QByteArray& path, const QMimeType& type) {
    PreviewContent content;
    content.kind = PreviewContent::Kind::facts;
    content.name = nameOf(path);
    content.typeName = type.name();
    content.typeComment = type.comment();
    struct stat st;
    if (statAnyLength(path, &st, true) == 0) {
        const QLocale locale;
        content.sizeText = sizeText(qint64(st.st_size), locale);
        const QDateTime modified = QDateTime::fromSecsSinceEpoch(qint64(st.st_mtim.tv_sec));
        content.dateText = locale.toString(modified, QLocale::ShortFormat);
    }
    return content;
}

// A device on the already opened file, at its start: only head() has read it so far.
bool openDevice(QFile& device, const NativeFile& file) {
    return device.open(file.descriptor(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle);
}

QImage readImage(const NativeFile& file, QSize bounds) {
    QFile device;
    if (!openDevice(device, file)) return {};
    QImageReader reader(&device);
    reader.setAutoTransform(true);  // EXIF orientation: photos stand the way they were taken
    const QSize raw = reader.size();
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize fit = turned ? bounds.transposed() : bounds;
    if (raw.isValid() && (raw.width() > fit.width() || raw.height() > fit.height()))
        reader.setScaledSize(raw.scaled(fit, Qt::KeepAspectRatio));
    return reader.read();
}

void silencePoppler() {
    static std::once_flag once;
    std::call_once(once, [] {
        Poppler::setDebugErrorFunction([](const QString&, const QVariant&) {}, QVariant());
    });
}

QImage renderFirstPage(const NativeFile& file, QSize bounds) {
    silencePoppler();
    QFile device;
    if (!openDevice(device, file)) return {};
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(&device);
    if (!document || document->isLocked() || document->numPages() < 1) return {};
    std::unique_ptr<Poppler::Page> page = document->page(0);
    if (!page) return {};
    const QSizeF points = page->pageSizeF();  // 72 per inch
    if (points.isEmpty()) return {};
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    const double scale =
        std::min(bounds.width() / points.width(), bounds.height() / points.height());
    return page->renderToImage(72.0 * scale, 72.0 * scale);
}

// The start of a plain-text file as it is, even where it is not well-formed.
void readRawText(const NativeFile& file, PreviewContent& content) {
    const QByteArray bytes = file.head(kTextPreviewBytes);
    content.textCut = file.size() > bytes.size();
    // Not flushed: a character cut by the size limit is dropped instead of shown as garbage.
    QStringDecoder decoder(QStringDecoder::Utf8);
    content.text = decoder.decode(bytes);
}

// The start of what a document reader reads, as many characters as a text file shows bytes.
void readDocumentStart(NativeFile& file, DocumentFormat reader, PreviewContent& content) {
    readDocumentText(file, reader, 0, [&content](QStringView piece) {
        const qsizetype room = kTextPreviewBytes - content.text.size();
        content.textCut = piece.size() > room;
        content.text.append(piece.first(std::min(piece.size(), room)));
        return !content.textCut;
    });
}

}  // namespace

PreviewContent loadPreviewContent(const QByteArray& path, QSize bounds) {
    struct stat st;
    if (statAnyLength(path, &st, true) == 0 && S_ISDIR(st.st_mode)) return {};

    const QMimeDatabase database;
    NativeFile file = NativeFile::open(path, LinkPolicy::follow);
    if (!file.isOpen())
        return factsOf(path, database.mimeTypeForFile(nameOf(path), QMimeDatabase::MatchExtension));

    const QMimeType type =
        database.mimeTypeForFileNameAndData(nameOf(path), file.head(kFormatSniffBytes));
    PreviewContent content = factsOf(path, type);
    const ReadableFormat format = readableFormat({type});
    switch (format.preview) {
        case PreviewKind::pdfPage:
            content.image = renderFirstPage(file, bounds);
            if (!content.image.isNull()) content.kind = PreviewContent::Kind::pdfPage;
            break;
        case PreviewKind::image:
            content.image = readImage(file, bounds);
            if (!content.image.isNull()) content.kind = PreviewContent::Kind::image;
            break;
        case PreviewKind::text:
            content.kind = PreviewContent::Kind::text;
            if (format.reader && *format.reader != DocumentFormat::plainText)
                readDocumentStart(file, *format.reader, content);
            else
                readRawText(file, content);
            break;
        case PreviewKind::facts:
            break;
    }
    return content;
}

}  // namespace tarnwick
