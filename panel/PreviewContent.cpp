#include "PreviewContent.h"

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
#include <unistd.h>

namespace tarnwick {

namespace {

constexpr qint64 kSniffBytes = 4096;

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
    if (stat(path.constData(), &st) == 0) {
        const QLocale locale;
        content.sizeText =
            locale.formattedDataSize(qint64(st.st_size), 1, QLocale::DataSizeSIFormat);
        const QDateTime modified = QDateTime::fromSecsSinceEpoch(qint64(st.st_mtim.tv_sec));
        content.dateText = locale.toString(modified, QLocale::ShortFormat);
    }
    return content;
}

QByteArray readUpTo(NativeFile& file, qint64 limit) {
    QByteArray bytes(limit, Qt::Uninitialized);
    qint64 filled = 0;
    while (filled < limit) {
        const qint64 got = file.read(bytes.data() + filled, limit - filled);
        if (got <= 0) break;
        filled += got;
    }
    bytes.truncate(filled);
    return bytes;
}

// A device on the already opened file, read from its start.
bool openAtStart(QFile& device, const NativeFile& file) {
    return lseek(file.descriptor(), 0, SEEK_SET) == 0 &&
           device.open(file.descriptor(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle);
}

QImage readImage(const NativeFile& file, QSize bounds) {
    QFile device;
    if (!openAtStart(device, file)) return {};
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
    if (!openAtStart(device, file)) return {};
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

QString decodeText(const QByteArray& bytes) {
    // Not flushed: a character cut by the size limit is dropped instead of shown as garbage.
    QStringDecoder decoder(QStringDecoder::Utf8);
    return decoder.decode(bytes);
}

}  // namespace

PreviewContent loadPreviewContent(const QByteArray& path, QSize bounds) {
    struct stat st;
    if (stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode)) return {};

    const QMimeDatabase database;
    NativeFile file = NativeFile::open(path, LinkPolicy::follow);
    if (!file.isOpen())
        return factsOf(path, database.mimeTypeForFile(nameOf(path), QMimeDatabase::MatchExtension));

    QByteArray head = readUpTo(file, kSniffBytes);
    const QMimeType type = database.mimeTypeForFileNameAndData(nameOf(path), head);
    PreviewContent content = factsOf(path, type);

    if (type.inherits(QStringLiteral("application/pdf"))) {
        content.image = renderFirstPage(file, bounds);
        if (!content.image.isNull()) content.kind = PreviewContent::Kind::pdfPage;
    } else if (type.name().startsWith(u"image/")) {
        content.image = readImage(file, bounds);
        if (!content.image.isNull()) content.kind = PreviewContent::Kind::image;
    } else if (type.inherits(QStringLiteral("text/plain"))) {
        head += readUpTo(file, kTextPreviewBytes - head.size());
        content.kind = PreviewContent::Kind::text;
        content.textCut = file.size() > head.size();
        content.text = decodeText(head);
    }
    return content;
}

}  // namespace tarnwick
